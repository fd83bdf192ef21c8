#version 430 core
// The blurred pyramid summed over the target, each level stretched over it. Wider
// levels weigh a little more so the glow has a soft, broad tail. The levels are added
// in order, from 0, as additive blending of one level after another would. Each level
// is its own single-level texture: every one is magnified here, so it is sampled
// without choosing a level per pixel.
in vec2 vTexcoord;

uniform sampler2D levels[10];  // units 0..9: pyramid level i on unit i
uniform float mipmapLevel;  // the last level added (0..9)

out vec4 fragColour;

void main() {
    vec3 sum = vec3(0.0);
    int last = int(mipmapLevel + 0.5);
    for (int level = 0; level < 10; ++level) {
        if (level > last) break;
        float weight = 0.1 * mix(0.6, 1.4, clamp(float(level) / 9.0, 0.0, 1.0));
        sum += texture(levels[level], vTexcoord).rgb * weight;
    }
    fragColour = vec4(sum, 0.0);
}
