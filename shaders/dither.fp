#version 430 core
// Ordered (4x4 Bayer) dither to 8 bits per channel, against banding in gradients.
in vec2 vTexcoord;

uniform sampler2D image;  // 0

out vec4 fragColour;

const float bayer[16] = float[16](0.0, 8.0, 2.0, 10.0, 12.0, 4.0, 14.0, 6.0,
                                  3.0, 11.0, 1.0, 9.0, 15.0, 7.0, 13.0, 5.0);

void main() {
    ivec2 cell = ivec2(gl_FragCoord.xy) & 3;
    float threshold = (bayer[cell.y * 4 + cell.x] + 0.5) / 16.0 - 0.5;
    vec4 colour = texture(image, vTexcoord);
    fragColour = vec4(floor(colour.rgb * 255.0 + 0.5 + threshold) / 255.0, colour.a);
}
