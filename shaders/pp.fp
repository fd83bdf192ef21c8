#version 430 core
// Final image: lit image + bloom, filmic tone curve, moving film grain, soft vignette.
// Writes linear colour; the window's sRGB framebuffer does the encoding.
in vec2 vTexcoord;

uniform sampler2D texFbo1;   // 0, lit image with the overlay
uniform sampler2D texFbo2;   // 1, summed bloom
uniform sampler2D texNoise;  // 2, single channel, repeating
uniform vec2 noiseOffset;    // new every frame
uniform float time;          // seconds

out vec4 fragColour;

const float exposure = 1.4;
const float bloomStrength = 0.5;
const float grainStrength = 0.03;
const float vignetteStrength = 0.3;

// ACES filmic fit (Narkowicz).
vec3 filmic(vec3 x) {
    const float a = 2.51, b = 0.03, c = 2.43, d = 0.59, e = 0.14;
    return clamp((x * (a * x + b)) / (x * (c * x + d) + e), 0.0, 1.0);
}

void main() {
    vec3 hdr = texture(texFbo1, vTexcoord).rgb + bloomStrength * texture(texFbo2, vTexcoord).rgb;
    vec3 colour = filmic(max(hdr, vec3(0.0)) * exposure);

    // The noise texture is smaller than the screen; repeat it, shifted each frame.
    vec2 noiseScale = vec2(textureSize(texFbo1, 0)) / vec2(max(textureSize(texNoise, 0), ivec2(1)));
    float grain = texture(texNoise, vTexcoord * noiseScale + noiseOffset).r - 0.5;
    float flicker = 1.0 + 0.15 * sin(time * 23.0);
    // Grain reads strongest in the mid-tones, as on film, and fades out in the blacks
    // instead of lifting them into grey snow.
    float luminance = dot(colour, vec3(0.2126, 0.7152, 0.0722));
    float midTones = 1.0 - abs(luminance * 2.0 - 1.0);
    colour += grain * grainStrength * flicker * midTones * smoothstep(0.0, 0.12, luminance);

    vec2 centred = vTexcoord - 0.5;
    float vignette = 1.0 - vignetteStrength * smoothstep(0.2, 0.75, length(centred));
    fragColour = vec4(clamp(colour * vignette, 0.0, 1.0), 1.0);
}
