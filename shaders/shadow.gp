#version 430 core
// Renders one triangle into all six faces of a layered depth cube in a single draw.
// Expects world-space gl_Position from its vertex stage.
layout(triangles) in;
layout(triangle_strip, max_vertices = 18) out;

uniform mat4 faceMatrices[6];  // face view-projection, cube-map face order

void main() {
    for (int face = 0; face < 6; ++face) {
        for (int corner = 0; corner < 3; ++corner) {
            gl_Layer = face;
            gl_Position = faceMatrices[face] * gl_in[corner].gl_Position;
            EmitVertex();
        }
        EndPrimitive();
    }
}
