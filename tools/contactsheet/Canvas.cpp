#include "Canvas.h"

#include <algorithm>
#include <cstdlib>

namespace art {

void fillRect(Image& image, int x0, int y0, int x1, int y1, Rgb colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.width);
    y1 = std::min(y1, image.height);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            uint8_t* p = image.at(x, y);
            p[0] = colour[0];
            p[1] = colour[1];
            p[2] = colour[2];
        }
    }
}

void drawLine(Image& image, int x0, int y0, int x1, int y1, Rgb colour) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x0 >= 0 && y0 >= 0 && x0 < image.width && y0 < image.height) {
            uint8_t* p = image.at(x0, y0);
            p[0] = colour[0];
            p[1] = colour[1];
            p[2] = colour[2];
        }
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void blitShrunk(Image& target, const Image& source, int x, int y, int factor) {
    const int w = source.width / factor;
    const int h = source.height / factor;
    for (int ty = 0; ty < h; ++ty) {
        for (int tx = 0; tx < w; ++tx) {
            int sum[3] = {0, 0, 0};
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const uint8_t* s = source.at(tx * factor + i, ty * factor + j);
                    for (int k = 0; k < 3; ++k) {
                        sum[k] += s[source.channels >= 3 ? k : 0];
                    }
                }
            }
            const int px = x + tx, py = y + ty;
            if (px < 0 || py < 0 || px >= target.width || py >= target.height) {
                continue;
            }
            uint8_t* p = target.at(px, py);
            for (int k = 0; k < 3; ++k) {
                p[k] = static_cast<uint8_t>((sum[k] + factor * factor / 2) / (factor * factor));
            }
        }
    }
}

}  // namespace art
