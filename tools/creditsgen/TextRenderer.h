// Draws lines of text into art::Image buffers with FreeType.
//
// Grey-level anti-aliased glyphs, kerning when the face has it. Into an RGB image the
// colour is blended by glyph coverage; into an RGBA image the colour is written and
// the coverage raises the alpha (straight, not premultiplied alpha).
#pragma once

#include "PngWriter.h"

#include <array>
#include <memory>
#include <string>

namespace art {

class TextRenderer {
public:
    // Throws std::runtime_error when FreeType or the font cannot be loaded.
    TextRenderer(const std::string& fontPath, int pixelHeight);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    void setPixelHeight(int pixelHeight);
    int width(const std::string& text) const;  // advance width in pixels (ASCII text)
    // Draws with the baseline at row `baseline` (rows counted from the top of the picture).
    void draw(Image& target, int x, int baseline, const std::string& text,
              std::array<uint8_t, 3> colour) const;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace art
