// Reads a PNG into an art::Image as 8-bit RGB or RGBA (libpng's simplified API).
#pragma once

#include "PngWriter.h"

#include <string>

namespace art {

// Returns false with a reason in *why when the file cannot be read.
bool readPng(const std::string& path, Image* image, std::string* why = nullptr);

}  // namespace art
