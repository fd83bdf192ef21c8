// The warehouse interior: a 40 × 10 × 24 hall centred on the origin (floor at y = 0),
// with an open aisle along x (|z| < 4.5) where the camera, the light and the branches
// move. Racks with crates and barrels line both long sides; trusses, purlins, pipes,
// lamp housings and a forklift give the moving light edges to catch.
#pragma once

#include "MeshBuilder.h"

#include <string>
#include <vector>

namespace art {

struct MaterialMesh {
    std::string material;  // texture file prefix: <material>_diffuse.png, _normal.png, _specular.png
    double shininess = 32.0;
    MeshBuilder mesh;
};

// Builds the whole hall; the result is the same on every call.
std::vector<MaterialMesh> buildWarehouse();

}  // namespace art
