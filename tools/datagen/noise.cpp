#include "noise.h"

#include <cmath>

uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

uint32_t hash2(int x, int y, uint32_t seed) {
    return hash32(uint32_t(x) * 0x9E3779B1U ^ hash32(uint32_t(y) * 0x85EBCA77U + seed));
}

float hashUnit(int x, int y, uint32_t seed) {
    return float(hash2(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

namespace {

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

int wrap(int v, int period) {
    int r = v % period;
    return r < 0 ? r + period : r;
}

}  // namespace

float valueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float u = fade(x - fx), v = fade(y - fy);
    const float a = hashUnit(ix, iy, seed), b = hashUnit(ix + 1, iy, seed);
    const float c = hashUnit(ix, iy + 1, seed), d = hashUnit(ix + 1, iy + 1, seed);
    const float top = a + (b - a) * u, bottom = c + (d - c) * u;
    return (top + (bottom - top) * v) * 2.0f - 1.0f;
}

float periodicNoise(float x, float y, int period, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float u = fade(x - fx), v = fade(y - fy);
    const int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    const int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    const float a = hashUnit(x0, y0, seed), b = hashUnit(x1, y0, seed);
    const float c = hashUnit(x0, y1, seed), d = hashUnit(x1, y1, seed);
    const float top = a + (b - a) * u, bottom = c + (d - c) * u;
    return (top + (bottom - top) * v) * 2.0f - 1.0f;
}

float fbm(float x, float y, int octaves, uint32_t seed, float gain) {
    float sum = 0.0f, amp = 0.5f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + uint32_t(i) * 1013U);
        norm += amp;
        // Rotate a little between octaves so lattice lines do not stack up.
        const float nx = 1.6f * x + 1.2f * y, ny = -1.2f * x + 1.6f * y;
        x = nx; y = ny;
        amp *= gain;
    }
    return sum / norm;
}

float periodicFbm(float x, float y, int period, int octaves, uint32_t seed, float gain) {
    float sum = 0.0f, amp = 0.5f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * periodicNoise(x, y, period, seed + uint32_t(i) * 1013U);
        norm += amp;
        x *= 2.0f; y *= 2.0f; period *= 2;
        amp *= gain;
    }
    return sum / norm;
}

float smoothstep(float e0, float e1, float x) {
    float t = (x - e0) / (e1 - e0);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

float fract(float x) { return x - std::floor(x); }
