// The film's materials: a warehouse of concrete, brick, galvanised roof sheets,
// painted steel, crate wood and barrel paint, and the branches' scaled skin.
// Seeds are fixed constants: changing one changes the committed textures.
#include "MaterialBake.h"
#include "Noise.h"

#include <cmath>

namespace art {

namespace {
const double kPi = 3.14159265358979323846;

MaterialSample concrete(double u, double v) {
    const double stain = fbm(u, v, 4, 5, 11U);
    const double grain = valueNoise(u, v, 96, 12U);
    const double pits = hash01(static_cast<int>(u * 256), static_cast<int>(v * 256), 13U);
    // Expansion joints along the tile edges: the floor shows a slab grid.
    const double joint = std::min(std::min(u, 1.0 - u), std::min(v, 1.0 - v));
    const double groove = 1.0 - smoothStep(0.002, 0.008, joint);
    const double base = 0.40 + 0.16 * stain + 0.05 * grain - (pits > 0.985 ? 0.08 : 0.0) - 0.12 * groove;
    MaterialSample s;
    s.r = base * 1.02;
    s.g = base;
    s.b = base * 0.96;
    s.height = 0.6 * stain * 0.2 + 0.15 * grain - (pits > 0.985 ? 0.3 : 0.0) - 0.8 * groove;
    const double wet = smoothStep(0.55, 0.7, fbm(u, v, 3, 3, 14U));
    s.specular = 0.08 + 0.22 * wet + 0.05 * grain;
    return s;
}

MaterialSample brick(double u, double v) {
    const int rows = 8;
    const int columns = 4;
    const double y = v * rows;
    const int row = static_cast<int>(std::floor(y));
    const double x = u * columns + ((row & 1) ? 0.5 : 0.0);
    const int column = static_cast<int>(std::floor(x)) % columns;
    const double fx = x - std::floor(x);
    const double fy = y - row;
    // Mortar widths in brick units: a thin joint on each edge.
    const double edge = std::min(std::min(fx * 2.0, (1.0 - fx) * 2.0), std::min(fy, 1.0 - fy));
    const double brickMask = smoothStep(0.035, 0.06, edge);
    const double tint = hash01(column, row, 21U);
    const double dirt = fbm(u, v, 4, 4, 22U);
    const double rough = valueNoise(u, v, 64, 23U);
    MaterialSample s;
    const double br = 0.42 + 0.12 * tint - 0.1 * dirt + 0.05 * rough;
    const double mortar = 0.45 + 0.1 * rough;
    s.r = mix(mortar, br, brickMask);
    s.g = mix(mortar * 0.97, br * 0.45, brickMask);
    s.b = mix(mortar * 0.9, br * 0.33, brickMask);
    s.height = 0.3 + 0.6 * brickMask + 0.1 * rough;
    s.specular = 0.05 + 0.06 * brickMask * (1.0 - dirt);
    return s;
}

MaterialSample roof(double u, double v) {
    const double ridge = 0.5 + 0.5 * std::sin(2.0 * kPi * 8.0 * u);
    const double rust = smoothStep(0.58, 0.75, fbm(u, v, 4, 5, 31U));
    const double speck = valueNoise(u, v, 64, 32U);
    MaterialSample s;
    const double grey = 0.5 + 0.08 * speck;
    s.r = mix(grey, 0.42, rust);
    s.g = mix(grey * 1.01, 0.24, rust);
    s.b = mix(grey * 1.03, 0.14, rust);
    s.height = ridge + 0.05 * rust * speck;
    s.specular = mix(0.55 + 0.1 * speck, 0.08, rust);
    return s;
}

MaterialSample steel(double u, double v) {
    const double wear = fbm(u, v, 4, 5, 41U);
    const double chip = smoothStep(0.66, 0.70, wear);
    const double brush = valueNoise(u * 0.125 + v, v, 32, 42U);
    MaterialSample s;
    const double paint = 0.9 + 0.1 * valueNoise(u, v, 16, 43U);
    s.r = mix(0.16 * paint, 0.45 + 0.1 * brush, chip);
    s.g = mix(0.22 * paint, 0.45 + 0.1 * brush, chip);
    s.b = mix(0.30 * paint, 0.47 + 0.1 * brush, chip);
    s.height = 1.0 - 0.5 * chip + 0.03 * brush;
    s.specular = mix(0.35, 0.75, chip);
    return s;
}

MaterialSample wood(double u, double v) {
    const int planks = 4;
    const double y = v * planks;
    const int plank = static_cast<int>(std::floor(y));
    const double fy = y - plank;
    const double gap = smoothStep(0.015, 0.04, std::min(fy, 1.0 - fy));
    const double warp = fbm(u, v, 4, 3, 51U + static_cast<uint32_t>(plank));
    const double grain = 0.5 + 0.5 * std::sin((fy * 9.0 + warp * 6.0) * 2.0 * kPi);
    const double knot = hash01(plank, 0, 52U);
    const double tone = 0.85 + 0.25 * knot;
    MaterialSample s;
    s.r = (0.50 + 0.10 * grain) * tone * (0.4 + 0.6 * gap);
    s.g = (0.36 + 0.07 * grain) * tone * (0.4 + 0.6 * gap);
    s.b = (0.22 + 0.04 * grain) * tone * (0.4 + 0.6 * gap);
    s.height = 0.2 + 0.7 * gap + 0.1 * grain;
    s.specular = 0.04 + 0.06 * grain * gap;
    return s;
}

MaterialSample barrel(double u, double v) {
    // Two rolling hoops around the drum (v runs along its axis).
    const double hoopA = std::exp(-std::pow((v - 0.33) / 0.02, 2.0));
    const double hoopB = std::exp(-std::pow((v - 0.67) / 0.02, 2.0));
    const double wear = fbm(u, v, 4, 5, 61U);
    const double bare = smoothStep(0.64, 0.68, wear + 0.2 * (hoopA + hoopB));
    const double rust = smoothStep(0.7, 0.8, fbm(u, v, 8, 4, 62U)) * bare;
    const double fade = 0.8 + 0.2 * fbm(u, v, 8, 3, 63U);
    MaterialSample s;
    s.r = mix(mix(0.55 * fade, 0.38, bare), 0.40, rust);
    s.g = mix(mix(0.09 * fade, 0.37, bare), 0.20, rust);
    s.b = mix(mix(0.06 * fade, 0.36, bare), 0.10, rust);
    s.height = 0.5 + 0.5 * (hoopA + hoopB) - 0.15 * bare;
    s.specular = mix(mix(0.45, 0.7, bare), 0.05, rust);
    return s;
}

MaterialSample slither(double u, double v) {
    const Cell c = cellular(u, v, 16, 71U, 0.55);
    const double crease = smoothStep(0.0, 0.12, c.f2 - c.f1);
    const double dome = clampTo(1.0 - c.f1 * 1.3, 0.0, 1.0);
    const double blotch = smoothStep(0.55, 0.72, fbm(u, v, 4, 4, 72U));
    const double tint = (c.id >> 8) / 16777216.0;
    MaterialSample s;
    const double light = (0.55 + 0.45 * dome) * (0.7 + 0.3 * crease);
    s.r = light * mix(0.36 + 0.08 * tint, 0.16, blotch);
    s.g = light * mix(0.42 + 0.06 * tint, 0.13, blotch);
    s.b = light * mix(0.18, 0.08, blotch);
    s.height = 0.4 * dome + 0.6 * crease;
    s.specular = 0.15 + 0.55 * dome * crease;
    return s;
}
}  // namespace

std::vector<MaterialRecipe> allMaterials() {
    return {
        {"concrete", 256, 3.0, concrete}, {"brick", 256, 4.0, brick}, {"roof", 256, 6.0, roof},
        {"steel", 256, 3.0, steel},       {"wood", 256, 4.0, wood},   {"barrel", 256, 4.0, barrel},
        {"slither", 256, 5.0, slither},
    };
}

}  // namespace art
