#include "TextRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <stdexcept>

namespace art {

struct TextRenderer::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

TextRenderer::TextRenderer(const std::string& fontPath, int pixelHeight) : _impl(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&_impl->library) != 0) {
        throw std::runtime_error("FreeType could not be initialised");
    }
    if (FT_New_Face(_impl->library, fontPath.c_str(), 0, &_impl->face) != 0) {
        FT_Done_FreeType(_impl->library);
        throw std::runtime_error("cannot load font " + fontPath);
    }
    setPixelHeight(pixelHeight);
}

TextRenderer::~TextRenderer() {
    FT_Done_Face(_impl->face);
    FT_Done_FreeType(_impl->library);
}

namespace {
// The pair kerning between two glyphs in 26.6 units; 0 for fonts without kerning.
long kerningBetween(FT_Face face, FT_UInt previous, FT_UInt glyph) {
    if (!previous || !glyph || !FT_HAS_KERNING(face)) return 0;
    FT_Vector kerning{};
    FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kerning);
    return kerning.x;
}
}  // namespace

void TextRenderer::setPixelHeight(int pixelHeight) {
    FT_Set_Pixel_Sizes(_impl->face, 0, static_cast<FT_UInt>(pixelHeight));
}

int TextRenderer::width(const std::string& text) const {
    FT_Face face = _impl->face;
    long pen = 0;
    FT_UInt previous = 0;
    for (unsigned char c : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, c);
        pen += kerningBetween(face, previous, glyph);
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0) {
            pen += face->glyph->advance.x;
        }
        previous = glyph;
    }
    return static_cast<int>(pen >> 6);
}

void TextRenderer::draw(Image& target, int x, int baseline, const std::string& text,
                        std::array<uint8_t, 3> colour) const {
    FT_Face face = _impl->face;
    long pen = static_cast<long>(x) << 6;
    FT_UInt previous = 0;
    for (unsigned char c : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, c);
        pen += kerningBetween(face, previous, glyph);
        previous = glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int left = static_cast<int>(pen >> 6) + slot->bitmap_left;
        const int top = baseline - slot->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int px = left + static_cast<int>(col);
                const int py = top + static_cast<int>(row);
                if (px < 0 || py < 0 || px >= target.width || py >= target.height) {
                    continue;
                }
                const uint8_t coverage = bitmap.buffer[row * bitmap.pitch + col];
                if (coverage == 0) {
                    continue;
                }
                uint8_t* p = target.at(px, py);
                if (target.channels == 4) {
                    p[0] = colour[0];
                    p[1] = colour[1];
                    p[2] = colour[2];
                    p[3] = std::max(p[3], coverage);
                } else {
                    for (int k = 0; k < std::min(3, target.channels); ++k) {
                        p[k] = static_cast<uint8_t>((p[k] * (255 - coverage) + colour[k] * coverage + 127) /
                                                    255);
                    }
                }
            }
        }
        pen += slot->advance.x;
    }
}

}  // namespace art
