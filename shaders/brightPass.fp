#version 430 core
// Keeps the light above a threshold, with a soft knee so bloom fades in smoothly.
in vec2 vTexcoord;

uniform sampler2D image;  // 0, the lit image

out vec4 fragColour;

const float threshold = 0.9;
const float knee = 0.4;

void main() {
    vec3 colour = max(texture(image, vTexcoord).rgb, vec3(0.0));
    float brightness = max(colour.r, max(colour.g, colour.b));
    float soft = clamp(brightness - threshold + knee, 0.0, 2.0 * knee);
    soft = soft * soft / (4.0 * knee + 1e-5);
    float contribution = max(soft, brightness - threshold) / max(brightness, 1e-5);
    fragColour = vec4(colour * contribution, 1.0);
}
