#include "MaterialBake.h"

#include <cmath>

namespace art {

Image normalMapFromHeight(const std::vector<double>& height, int size, double strength) {
    Image out(size, size, 3);
    auto h = [&](int x, int y) {
        const int wx = (x + size) % size;
        const int wy = (y + size) % size;
        return height[static_cast<size_t>(wy) * size + wx];
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Slopes per texel, scaled so the strength reads the same at any map size.
            const double dhdu = (h(x + 1, y) - h(x - 1, y)) * 0.5 * strength * size / 256.0;
            const double dhdv = (h(x, y + 1) - h(x, y - 1)) * 0.5 * strength * size / 256.0;
            double nx = -dhdu, ny = -dhdv, nz = 1.0;
            const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
            nx /= len;
            ny /= len;
            nz /= len;
            uint8_t* p = out.at(x, y);
            p[0] = toByte(nx * 0.5 + 0.5);
            p[1] = toByte(ny * 0.5 + 0.5);
            p[2] = toByte(nz * 0.5 + 0.5);
        }
    }
    return out;
}

MaterialMaps bakeMaterial(const MaterialRecipe& recipe) {
    const int n = recipe.size;
    MaterialMaps maps;
    maps.diffuse = Image(n, n, 3);
    maps.specular = Image(n, n, 3);
    std::vector<double> height(static_cast<size_t>(n) * n, 0.0);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const MaterialSample s = recipe.shade((x + 0.5) / n, (y + 0.5) / n);
            uint8_t* d = maps.diffuse.at(x, y);
            d[0] = toByte(s.r);
            d[1] = toByte(s.g);
            d[2] = toByte(s.b);
            uint8_t* sp = maps.specular.at(x, y);
            sp[0] = sp[1] = sp[2] = toByte(s.specular);
            height[static_cast<size_t>(y) * n + x] = s.height;
        }
    }
    maps.normal = normalMapFromHeight(height, n, recipe.bumpStrength);
    return maps;
}

}  // namespace art
