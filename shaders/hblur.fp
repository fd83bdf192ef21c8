#version 430 core
// Horizontal 9-tap Gaussian over one mip level of the bright image.
in vec2 vTexcoord;

uniform sampler2D image;  // 0, mipmapped
uniform float mipmapLevel;

out vec4 fragColour;

const float weights[5] = float[5](0.2270270, 0.1945946, 0.1216216, 0.0540541, 0.0162162);

void main() {
    int level = int(mipmapLevel + 0.5);
    float texel = 1.0 / float(max(textureSize(image, level).x, 1));
    vec3 sum = textureLod(image, vTexcoord, mipmapLevel).rgb * weights[0];
    for (int i = 1; i < 5; ++i) {
        vec2 offset = vec2(float(i) * texel, 0.0);
        sum += textureLod(image, vTexcoord + offset, mipmapLevel).rgb * weights[i];
        sum += textureLod(image, vTexcoord - offset, mipmapLevel).rgb * weights[i];
    }
    fragColour = vec4(sum, 1.0);
}
