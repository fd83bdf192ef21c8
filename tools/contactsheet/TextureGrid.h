// A picture of every texture in a directory: one row per material (the file name up to
// its last '_'), one column per map, each shrunk to 128 pixels with its name beneath.
#pragma once

#include "PngWriter.h"
#include "TextRenderer.h"

#include <string>

namespace art {

// Returns false with a reason in *why when a PNG cannot be read or is smaller than a tile.
bool textureGrid(const std::string& directory, TextRenderer& font, Image* out, std::string* why);

}  // namespace art
