#include "TextureGrid.h"

#include "Canvas.h"
#include "PngRead.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

namespace art {

namespace {
const int kTile = 128;
const int kCellWidth = kTile + 16;
const int kCellHeight = kTile + 26;
const int kLabelWidth = 110;
}  // namespace

bool textureGrid(const std::string& directory, TextRenderer& font, Image* out, std::string* why) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
        if (entry.path().extension() == ".png") {
            names.push_back(entry.path().filename().string());
        }
    }
    if (ec) {
        *why = directory + ": " + ec.message();
        return false;
    }
    std::sort(names.begin(), names.end());  // listing order must not change the picture
    std::map<std::string, std::vector<std::string>> byMaterial;
    size_t columns = 1;
    for (const std::string& n : names) {
        const size_t cut = n.rfind('_');
        // "name.png" without a map suffix becomes its own row with an empty map label.
        const std::string material = cut == std::string::npos ? n.substr(0, n.size() - 4) : n.substr(0, cut);
        byMaterial[material].push_back(n);
        columns = std::max(columns, byMaterial[material].size());
    }
    Image image(kLabelWidth + static_cast<int>(columns) * kCellWidth + 8,
                static_cast<int>(std::max<size_t>(byMaterial.size(), 1)) * kCellHeight + 12, 3);
    fillRect(image, 0, 0, image.width, image.height, Rgb{24, 24, 28});
    int row = 0;
    for (const auto& [material, files] : byMaterial) {
        const int top = 8 + row * kCellHeight;
        font.setPixelHeight(15);
        font.draw(image, 8, top + kTile / 2 + 5, material, Rgb{220, 220, 210});
        for (size_t c = 0; c < files.size(); ++c) {
            Image texture;
            if (!readPng(directory + "/" + files[c], &texture, why)) {
                return false;
            }
            if (texture.width < kTile || texture.width != texture.height || texture.width % kTile != 0) {
                *why = files[c] + ": not a square multiple of " + std::to_string(kTile) + " pixels";
                return false;
            }
            const int left = kLabelWidth + static_cast<int>(c) * kCellWidth;
            blitShrunk(image, texture, left, top, texture.width / kTile);
            font.setPixelHeight(11);
            const size_t mapLength = files[c].size() - material.size();  // "_" + map + ".png", or ".png"
            const std::string map = mapLength > 5 ? files[c].substr(material.size() + 1, mapLength - 5) : "";
            font.draw(image, left, top + kTile + 14,
                      map + "  " + std::to_string(texture.width) + "x" + std::to_string(texture.height),
                      Rgb{170, 170, 160});
        }
        ++row;
    }
    *out = std::move(image);
    return true;
}

}  // namespace art
