#version 430 core
// Horizontal 9-tap Gaussian over one mip level of the bright image, written at half that
// level's size: each of the nine taps lands halfway between four texels and averages
// them. Together they weigh ten columns of two rows; a filtered sample placed between
// two neighbouring columns, in proportion to their weights, reads both at once, so five
// samples give the same sum. Columns past the edge are the border, black.
in vec2 vTexcoord;

uniform sampler2D image;  // 0, mipmapped
uniform float mipmapLevel;

out vec4 fragColour;

const float weights[5] = float[5](0.2270270, 0.1945946, 0.1216216, 0.0540541, 0.0162162);

float tapWeight(int tap) { return abs(tap) < 5 ? weights[abs(tap)] : 0.0; }

// The weight of column `column` relative to the pixel's first one: half of each of the
// two taps that cover it.
float columnWeight(int column) { return 0.5 * (tapWeight(column) + tapWeight(column - 1)); }

void main() {
    int level = int(mipmapLevel + 0.5);
    float texel = 1.0 / float(max(textureSize(image, level).x, 1));
    // The pixel's centre lies between its first column (0) and the next (1).
    vec3 sum = vec3(0.0);
    for (int pair = -2; pair <= 2; ++pair) {
        int left = 2 * pair;
        float weightLeft = columnWeight(left), weightRight = columnWeight(left + 1);
        float weight = weightLeft + weightRight;
        // From the pixel's centre to the left column's centre is left - 0.5 columns.
        float offset = float(left) - 0.5 + weightRight / weight;
        sum += textureLod(image, vTexcoord + vec2(offset * texel, 0.0), mipmapLevel).rgb * weight;
    }
    fragColour = vec4(sum, 1.0);
}
