#version 430 core
// Vertical 9-tap Gaussian; the source is a single-level texture of the level's size.
in vec2 vTexcoord;

uniform sampler2D image;  // 0
uniform float mipmapLevel;  // which pyramid level this is; the texture has only level 0

out vec4 fragColour;

const float weights[5] = float[5](0.2270270, 0.1945946, 0.1216216, 0.0540541, 0.0162162);

void main() {
    float texel = 1.0 / float(max(textureSize(image, 0).y, 1));
    vec3 sum = textureLod(image, vTexcoord, 0.0).rgb * weights[0];
    for (int i = 1; i < 5; ++i) {
        vec2 offset = vec2(0.0, float(i) * texel);
        sum += textureLod(image, vTexcoord + offset, 0.0).rgb * weights[i];
        sum += textureLod(image, vTexcoord - offset, 0.0).rgb * weights[i];
    }
    fragColour = vec4(sum, 1.0);
}
