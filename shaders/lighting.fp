#version 430 core
// One point light over the G-buffer (layout in geometryPass.fp): Blinn-Phong with the
// normal map applied through the stored tangent frame, distance attenuation and the
// light's cube shadow. Output is added to the target (GL_ONE, GL_ONE); alpha stays 0
// so the target keeps its cleared alpha for the overlay's blend.
in vec2 vTexcoord;

uniform sampler2D texPos;  // 0
uniform sampler2D texNor;  // 1
uniform sampler2D texCol;  // 2
uniform sampler2D texTex;  // 3
uniform sampler2D texTan;  // 4
uniform sampler2D texBit;  // 5
uniform sampler2D texBum;  // 6
uniform sampler2D texSpc;  // 7
uniform samplerCubeShadow shadowMap;  // 11, compare GL_LEQUAL

uniform float blinnTermExponent;
uniform float attenuationExponent;
uniform float intensity;
uniform vec3 lightPos;
uniform vec3 lightAmb;
uniform vec3 lightDif;
uniform vec3 lightSpc;

out vec4 fragColour;

// The shadow cube's perspective projection (90 degrees per face).
const float shadowNear = 0.1;
const float shadowFar = 70.0;
const float shadowBias = 0.002;

const float attenuationReach = 2.5;  // distance at which the falloff term reaches 1
const float ambientGain = 3.0;       // the light's ambient is a faint 0.01 in all
const float bounce = 0.05;           // share of the lamp that comes back as fill
const float branchSheen = 3.0;
const float diffuseWrap = 0.25;

vec3 safeNormalize(vec3 v) {
    float len = length(v);
    return len > 1e-6 ? v / len : vec3(0.0);
}

// Depth the shadow pass stored for a point at `lightToPoint`: the face's view depth is
// the major axis; map it like the projection and the default depth range do.
float shadowDepth(vec3 lightToPoint) {
    vec3 a = abs(lightToPoint);
    float viewDepth = max(a.x, max(a.y, a.z));
    float ndc = (shadowFar + shadowNear) / (shadowFar - shadowNear) -
                (2.0 * shadowFar * shadowNear) / ((shadowFar - shadowNear) * viewDepth);
    return ndc * 0.5 + 0.5;
}

float shadowFactor(vec3 worldPos, vec3 normal) {
    // A nudge along the normal keeps lit surfaces from shadowing themselves. The shadow
    // pass draws only the texels this lookup reaches (ShadowReach.cpp repeats it).
    vec3 lightToPoint = worldPos + normal * 0.02 - lightPos;
    float reference = clamp(shadowDepth(lightToPoint) - shadowBias, 0.0, 1.0);
    return texture(shadowMap, vec4(lightToPoint, reference));
}

void main() {
    vec4 position = texture(texPos, vTexcoord);
    vec4 texcoord = texture(texTex, vTexcoord);
    if (texcoord.z < 0.5) {  // nothing was drawn here
        fragColour = vec4(0.0);
        return;
    }
    vec4 normalAndEyeX = texture(texNor, vTexcoord);
    vec4 tangentAndEyeY = texture(texTan, vTexcoord);
    vec4 bitangentAndEyeZ = texture(texBit, vTexcoord);
    vec4 bump = texture(texBum, vTexcoord);
    vec4 albedo = texture(texCol, vTexcoord);
    vec3 specularMap = texture(texSpc, vTexcoord).rgb;

    vec3 eye = vec3(normalAndEyeX.w, tangentAndEyeY.w, bitangentAndEyeZ.w);
    vec3 V = safeNormalize(eye - position.xyz);
    vec3 geometricNormal = safeNormalize(normalAndEyeX.xyz);
    vec3 N = geometricNormal;
    vec3 T = safeNormalize(tangentAndEyeY.xyz);
    vec3 B = safeNormalize(bitangentAndEyeZ.xyz);
    if (bump.w > 0.5 && dot(T, T) > 0.5 && dot(B, B) > 0.5 && dot(N, N) > 0.5) {
        vec3 tangentSpace = bump.rgb * 2.0 - 1.0;
        N = safeNormalize(T * tangentSpace.x + B * tangentSpace.y + N * tangentSpace.z);
    }
    if (dot(N, N) < 0.5) N = V;  // a mesh without normals faces the viewer

    vec3 toLight = lightPos - position.xyz;
    float distance = length(toLight);
    vec3 L = distance > 1e-6 ? toLight / distance : N;
    vec3 H = safeNormalize(L + V);

    // A slightly wrapped terminator: thin, curved shapes (the branches) keep a lit edge.
    float lambert = max((dot(N, L) + diffuseWrap) / (1.0 + diffuseWrap), 0.0);
    float blinn = dot(N, L) > 0.0 ? pow(max(dot(N, H), 0.0), max(blinnTermExponent, 1.0)) : 0.0;
    // Energy-normalised highlight: a tighter lobe is brighter, not just smaller.
    float blinnNorm = (max(blinnTermExponent, 1.0) + 8.0) / 25.0;
    // Falloff measured in units of `attenuationReach`, so the exponent shapes the curve
    // while the light still carries across the hall.
    float attenuation = 1.0 / (1.0 + pow(distance / attenuationReach, max(attenuationExponent, 0.0)));
    float lit = shadowFactor(position.xyz, geometricNormal);

    // The film is lit by one lamp; a faint, unshadowed bounce off the floor and walls
    // keeps shapes readable away from it.
    float sky = 0.5 + 0.5 * N.y;
    vec3 fill = lightAmb * ambientGain * mix(0.6, 1.0, sky) + lightDif * intensity * attenuation * bounce * sky;

    // The branches are the film's subject: a sheen along their silhouettes keeps them
    // readable when the lamp is behind them.
    float isBranch = step(1.5, texcoord.w);
    float rim = isBranch * pow(1.0 - max(dot(geometricNormal, V), 0.0), 2.0);
    fill += rim * branchSheen * lightDif * (0.15 + intensity * attenuation);

    vec3 colour = fill * albedo.rgb +
                  intensity * attenuation * lit *
                      (lightDif * albedo.rgb * lambert + lightSpc * specularMap * blinn * blinnNorm);
    fragColour = vec4(max(colour, vec3(0.0)), 0.0);
}
