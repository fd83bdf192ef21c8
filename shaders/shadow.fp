#version 430 core
// Depth only: the rasteriser writes the depth, no colour target is bound.
void main() {}
