#version 430 core
// Vertical 9-tap Gaussian; the source is a single-level texture of the level's size, so
// every tap lies on a texel centre and is fetched, not filtered. Taps past the edge read
// the border, black.
uniform sampler2D image;  // 0
uniform float mipmapLevel;  // which pyramid level this is; the texture has only level 0

out vec4 fragColour;

const float weights[5] = float[5](0.2270270, 0.1945946, 0.1216216, 0.0540541, 0.0162162);

vec3 tap(ivec2 texel, int height, float weight) {
    float inside = (texel.y >= 0 && texel.y < height) ? weight : 0.0;
    return texelFetch(image, ivec2(texel.x, clamp(texel.y, 0, height - 1)), 0).rgb * inside;
}

void main() {
    int height = textureSize(image, 0).y;
    ivec2 centre = ivec2(gl_FragCoord.xy);
    vec3 sum = texelFetch(image, centre, 0).rgb * weights[0];
    for (int i = 1; i < 5; ++i) {
        sum += tap(centre + ivec2(0, i), height, weights[i]);
        sum += tap(centre - ivec2(0, i), height, weights[i]);
    }
    fragColour = vec4(sum, 1.0);
}
