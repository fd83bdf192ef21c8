// Deterministic white noise: a seeded xorshift32 generator owned by each voice.
//
// The same seed always gives the same sequence, independent of time or of other
// voices, so any excerpt of the piece renders to the same samples every time.
#pragma once

#include <cstdint>

namespace music {

class Noise {
public:
    explicit Noise(uint32_t seed) : _state(seed != 0 ? seed : 0x9E3779B9u) {}

    uint32_t nextBits() {
        _state ^= _state << 13;
        _state ^= _state >> 17;
        _state ^= _state << 5;
        return _state;
    }
    // Uniform in [-1, 1).
    double next() { return double(nextBits() >> 8) / double(1u << 23) - 1.0; }
    // Uniform in [0, 1).
    double unit() { return double(nextBits() >> 8) / double(1u << 24); }

private:
    uint32_t _state = 1;
};

// Mixes two numbers into a well-spread seed (for per-note generators).
inline uint32_t mixSeed(uint32_t a, uint32_t b) {
    uint32_t h = a * 0x85EBCA6Bu ^ (b + 0x9E3779B9u + (a << 6) + (a >> 2));
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    return h != 0 ? h : 1u;
}

}  // namespace music
