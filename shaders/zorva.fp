#version 430 core
// Slowly drifting interference rings, a backdrop that needs no textures.
in vec2 vTexcoord;

uniform float time;

out vec4 fragColour;

void main() {
    vec2 p = vTexcoord * 2.0 - 1.0;
    vec2 a = vec2(0.4 * sin(time * 0.3), 0.3 * cos(time * 0.4));
    vec2 b = vec2(-0.5 * cos(time * 0.2), 0.4 * sin(time * 0.5));
    float rings = sin(length(p - a) * 24.0 - time * 2.0) + sin(length(p - b) * 19.0 + time * 1.5);
    vec3 colour = 0.5 + 0.5 * cos(vec3(0.0, 2.1, 4.2) + rings + time * 0.1);
    fragColour = vec4(colour * 0.6, 1.0);
}
