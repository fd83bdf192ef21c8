// Minimal RGB drawing on art::Image for the contact sheets: rectangles, lines and text.
#pragma once

#include "PngWriter.h"
#include "TextRenderer.h"

#include <array>
#include <string>

namespace art {

using Rgb = std::array<uint8_t, 3>;

void fillRect(Image& image, int x0, int y0, int x1, int y1, Rgb colour);  // [x0, x1) × [y0, y1), clipped
void drawLine(Image& image, int x0, int y0, int x1, int y1, Rgb colour);  // inclusive ends, clipped

// Copies `source` (RGB or RGBA, alpha ignored) into `target` at (x, y), shrunk by an integer box filter.
void blitShrunk(Image& target, const Image& source, int x, int y, int factor);

}  // namespace art
