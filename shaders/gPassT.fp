#version 430 core
// The branches into the G-buffer; same layout as geometryPass.fp (see there).
in vec3 vWorldPos;
in vec3 vNormal;
in vec4 vColour;
in vec2 vTexcoord;
in vec3 vTangent;
in vec3 vBitangent;
flat in vec3 vEyePos;

uniform sampler2D texDiff;  // unit 8
uniform sampler2D texNorm;  // unit 9
uniform sampler2D texSpec;  // unit 10

layout(location = 0) out vec4 outPos;
layout(location = 1) out vec4 outNor;
layout(location = 2) out vec4 outCol;
layout(location = 3) out vec4 outTex;
layout(location = 4) out vec4 outTan;
layout(location = 5) out vec4 outBit;
layout(location = 6) out vec4 outBum;
layout(location = 7) out vec4 outSpc;

vec3 safeNormalize(vec3 v) {
    float len = length(v);
    return len > 1e-6 ? v / len : vec3(0.0);
}

void main() {
    vec2 uv = vec2(vTexcoord.x, 1.0 - vTexcoord.y);
    vec4 diffuse = texture(texDiff, uv);
    diffuse.rgb = pow(diffuse.rgb, vec3(2.2));
    vec3 specular = texture(texSpec, uv).rgb;
    // A unit without a usable texture samples as black; a tangent-space normal never
    // is (its z is positive), so such a sample means "no normal map".
    vec3 bump = texture(texNorm, uv).rgb;
    bool bumped = dot(bump, bump) > 0.01;
    if (!bumped) bump = vec3(0.5, 0.5, 1.0);

    outPos = vec4(vWorldPos, 1.0);
    outNor = vec4(safeNormalize(vNormal), vEyePos.x);
    outCol = vColour * diffuse;
    outTex = vec4(vTexcoord, 1.0, 2.0);  // w = 2: the branches
    outTan = vec4(safeNormalize(vTangent), vEyePos.y);
    outBit = vec4(safeNormalize(vBitangent), vEyePos.z);
    outBum = vec4(bump, bumped ? 1.0 : 0.0);
    outSpc = vec4(specular, 1.0);
}
