#version 430 core
// One blurred pyramid level stretched over the target and added (GL_ONE, GL_ONE).
// Wider levels weigh a little more so the glow has a soft, broad tail.
in vec2 vTexcoord;

uniform sampler2D image;  // never set: unit 0
uniform float mipmapLevel;  // 0..9

out vec4 fragColour;

void main() {
    float weight = 0.1 * mix(0.6, 1.4, clamp(mipmapLevel / 9.0, 0.0, 1.0));
    fragColour = vec4(texture(image, vTexcoord).rgb * weight, 0.0);
}
