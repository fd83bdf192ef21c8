// Writes material meshes as a COLLADA 1.4.1 document (Y up, metres).
//
// One geometry and one node per material. Each material's effect names its diffuse,
// specular and bump (normal map) textures through the full newparam chain
// (sampler2D → surface → image) with bare file names, so an importer finds the PNGs
// next to the model. No dates or tool versions that change between runs are written.
#pragma once

#include "Warehouse.h"

#include <ostream>
#include <vector>

namespace art {

void writeCollada(std::ostream& out, const std::vector<MaterialMesh>& meshes);

}  // namespace art
