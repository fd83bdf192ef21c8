#version 430 core
// Expands the point into a centred rectangle that fills the screen in one direction and
// keeps the image's aspect: aspectRatio = image aspect / screen aspect.
layout(points) in;
layout(triangle_strip, max_vertices = 4) out;

uniform float aspectRatio;

out vec2 vTexcoord;

void main() {
    float ratio = aspectRatio > 0.0 ? aspectRatio : 1.0;
    vec2 halfSize = ratio >= 1.0 ? vec2(1.0, 1.0 / ratio) : vec2(ratio, 1.0);
    vec2 centre = gl_in[0].gl_Position.xy;
    // Images are stored top row first: v = 0 is the top of the picture.
    const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0), vec2(1.0, 1.0));
    for (int i = 0; i < 4; ++i) {
        gl_Position = vec4(centre + corners[i] * halfSize, 0.0, 1.0);
        vTexcoord = vec2(corners[i].x * 0.5 + 0.5, 0.5 - corners[i].y * 0.5);
        EmitVertex();
    }
    EndPrimitive();
}
