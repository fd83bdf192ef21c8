#include "Noise.h"

#include <cmath>

namespace art {

namespace {
uint32_t mixBits(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

int wrap(int i, int period) {
    const int m = i % period;
    return m < 0 ? m + period : m;
}

uint32_t cellHash(int32_t x, int32_t y, uint32_t seed) {
    return mixBits(static_cast<uint32_t>(x) * 0x8da6b343U ^
                   mixBits(static_cast<uint32_t>(y) * 0xd8163841U ^ seed));
}
}  // namespace

double hash01(int32_t x, int32_t y, uint32_t seed) {
    return (cellHash(x, y, seed) >> 8) / 16777216.0;
}

double clampTo(double x, double lo, double hi) {
    return x < lo ? lo : (x > hi ? hi : x);
}

double smoothStep(double edge0, double edge1, double x) {
    const double t = clampTo((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

double valueNoise(double u, double v, int period, uint32_t seed) {
    const double x = u * period;
    const double y = v * period;
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const double tx = x - fx;
    const double ty = y - fy;
    const double sx = tx * tx * (3.0 - 2.0 * tx);
    const double sy = ty * ty * (3.0 - 2.0 * ty);
    const int xa = wrap(x0, period), xb = wrap(x0 + 1, period);
    const int ya = wrap(y0, period), yb = wrap(y0 + 1, period);
    const double a = hash01(xa, ya, seed), b = hash01(xb, ya, seed);
    const double c = hash01(xa, yb, seed), d = hash01(xb, yb, seed);
    return mix(mix(a, b, sx), mix(c, d, sx), sy);
}

double fbm(double u, double v, int basePeriod, int octaves, uint32_t seed) {
    double sum = 0.0;
    double amplitude = 0.5;
    double total = 0.0;
    int period = basePeriod;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(u, v, period, seed + 101U * static_cast<uint32_t>(i));
        total += amplitude;
        amplitude *= 0.5;
        period *= 2;
    }
    return sum / total;
}

Cell cellular(double u, double v, int period, uint32_t seed, double jitter) {
    const double x = u * period;
    const double y = v * period;
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    Cell best;
    best.f1 = 1e9;
    best.f2 = 1e9;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const int gx = cx + i;
            const int gy = cy + j;
            const int wx = wrap(gx, period);
            const int wy = wrap(gy, period);
            const double px = gx + 0.5 + (hash01(wx, wy, seed) - 0.5) * jitter;
            const double py = gy + 0.5 + (hash01(wx, wy, seed ^ 0x5bd1e995U) - 0.5) * jitter;
            const double dx = x - px;
            const double dy = y - py;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d < best.f1) {
                best.f2 = best.f1;
                best.f1 = d;
                best.id = cellHash(wx, wy, seed ^ 0x27d4eb2fU);
                best.dx = dx;
                best.dy = dy;
            } else if (d < best.f2) {
                best.f2 = d;
            }
        }
    }
    return best;
}

}  // namespace art
