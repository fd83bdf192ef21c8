#version 430 core
// Copies a texture.
in vec2 vTexcoord;
uniform sampler2D image;
out vec4 fragColour;

void main() { fragColour = texture(image, vTexcoord); }
