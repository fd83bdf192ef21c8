#version 430 core
// The credits image, faded by "amp". Premultiplied output: the blend
// (GL_DST_ALPHA, GL_ONE_MINUS_SRC_ALPHA) lays it over the lit image.
in vec2 vTexcoord;

uniform sampler2D image;  // 0
uniform float amp;

out vec4 fragColour;

void main() {
    vec4 texel = texture(image, vTexcoord);
    float alpha = clamp(texel.a * amp, 0.0, 1.0);
    vec3 linear = pow(texel.rgb, vec3(2.2));
    fragColour = vec4(linear * alpha, alpha);
}
