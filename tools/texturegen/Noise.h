// Tileable procedural noise for the texture generator.
//
// Everything is a pure function of integer hashes, so the same arguments give the same
// values on every run. Coordinates are in [0, 1) texture space; `period` is the number
// of lattice cells across the tile, so every function repeats seamlessly at 1.
#pragma once

#include <cstdint>

namespace art {

// 32-bit integer hash mixed with a seed; uniform in [0, 1).
double hash01(int32_t x, int32_t y, uint32_t seed);

// Smooth value noise in [0, 1) with `period` cells across the tile.
double valueNoise(double u, double v, int period, uint32_t seed);

// Fractal sum of value noise: octaves double the period and halve the amplitude. Range [0, 1).
double fbm(double u, double v, int basePeriod, int octaves, uint32_t seed);

// Cellular noise: one jittered feature point per cell of a `period` grid.
struct Cell {
    double f1 = 0.0;  // distance to the nearest point, in cell units
    double f2 = 0.0;  // distance to the second nearest point
    uint32_t id = 0;  // hash of the nearest cell, for per-cell colour variation
    double dx = 0.0;  // offset from the nearest point, cell units
    double dy = 0.0;
};
Cell cellular(double u, double v, int period, uint32_t seed, double jitter = 0.8);

// Clamp to [lo, hi] and a smooth Hermite step.
double clampTo(double x, double lo, double hi);
double smoothStep(double edge0, double edge1, double x);
double mix(double a, double b, double t);

}  // namespace art
