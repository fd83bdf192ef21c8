// Where the samples of an anti-aliased frame fall inside a pixel.
//
// The first N points of the Halton sequence in bases 2 and 3 (skipping the point at
// the origin), moved so that their mean is the pixel's centre: the unmoved picture
// stays where it was, and any N spreads its points evenly over the pixel without a
// table per N. Offsets are in pixels, each coordinate within (-0.5, 0.5).
#pragma once

#include <glm/vec2.hpp>

#include <vector>

std::vector<glm::vec2> samplePattern(int samples);
