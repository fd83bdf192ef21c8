#version 430 core
// The overlay image, faded by "amp" (premultiplied alpha).
in vec2 vTexcoord;

uniform sampler2D image;  // 0
uniform float amp;

out vec4 fragColour;

void main() {
    vec4 texel = texture(image, vTexcoord);
    float alpha = clamp(texel.a * amp, 0.0, 1.0);
    fragColour = vec4(texel.rgb * alpha, alpha);
}
