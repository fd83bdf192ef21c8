// Turns a per-texel material description into its three texture maps.
//
// A material is a function from texture coordinates (u, v in [0, 1), tileable) to a
// colour, a height and a specular level. Baking samples it at texel centres and
// derives the tangent-space normal map from the height field (wrapping at the
// edges so the normals tile too): +x along u, +y along v, +z out of the surface.
#pragma once

#include "PngWriter.h"

#include <functional>
#include <string>
#include <vector>

namespace art {

struct MaterialSample {
    double r = 0.0, g = 0.0, b = 0.0;  // diffuse colour, 0..1
    double height = 0.0;               // 0..1, relative
    double specular = 0.0;             // 0..1 specular level
};

struct MaterialRecipe {
    std::string name;         // file names are name + "_diffuse.png", "_normal.png", "_specular.png"
    int size = 256;           // square, power of two
    double bumpStrength = 1;  // height units per texel-width scale of the normal map
    std::function<MaterialSample(double u, double v)> shade;
};

struct MaterialMaps {
    Image diffuse;
    Image normal;
    Image specular;
};

MaterialMaps bakeMaterial(const MaterialRecipe& recipe);

// Normal map of a tileable height field (size × size, row-major, row 0 = v 0).
Image normalMapFromHeight(const std::vector<double>& height, int size, double strength);

// Every material the film uses, in a fixed order.
std::vector<MaterialRecipe> allMaterials();

}  // namespace art
