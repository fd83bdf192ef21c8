#version 430 core
// Lambert lighting from one point light plus ambient.
in vec3 vWorldPos;
in vec3 vNormal;
in vec4 vColour;

uniform vec3 lightPos;
uniform vec3 lightAmb;
uniform vec3 lightDif;

out vec4 fragColour;

void main() {
    vec3 N = length(vNormal) > 1e-6 ? normalize(vNormal) : vec3(0.0, 0.0, 1.0);
    vec3 L = normalize(lightPos - vWorldPos);
    vec3 colour = vColour.rgb * (lightAmb + lightDif * max(dot(N, L), 0.0));
    fragColour = vec4(colour, vColour.a);
}
