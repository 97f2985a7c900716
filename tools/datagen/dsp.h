#pragma once
// Small signal-processing parts of the synthesiser: noise, a band-limited sawtooth and a
// state-variable filter, all at the soundtrack's sample rate.
#include "soundtrack.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace dsp {

constexpr double Pi = 3.14159265358979323846;
constexpr double Dt = 1.0 / SampleRate;  // s per sample

inline double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Deterministic white noise, -1..1.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed * 2654435761U + 12345U) {}
    double next() {
        state ^= state << 13; state ^= state >> 17; state ^= state << 5;
        return double(state) / 2147483648.0 - 1.0;
    }
};

// Band-limited sawtooth (polyBLEP), phase 0..1.
struct Saw {
    double phase = 0;
    double next(double hz) {
        const double dp = hz * Dt;
        phase += dp;
        if (phase >= 1.0) phase -= 1.0;
        double v = 2.0 * phase - 1.0;
        if (phase < dp) { const double t = phase / dp; v -= t + t - t * t - 1.0; }
        else if (phase > 1.0 - dp) { const double t = (phase - 1.0) / dp; v -= t * t + t + t + 1.0; }
        return v;
    }
};

// State-variable filter (topology-preserving); cutoff in Hz, resonance 0..1.
struct Svf {
    double ic1 = 0, ic2 = 0, g = 0, k = 1, a1 = 0, a2 = 0, a3 = 0;
    void set(double hz, double res) {
        hz = std::clamp(hz, 20.0, SampleRate * 0.45);
        g = std::tan(Pi * hz * Dt);
        k = 2.0 - 1.9 * res;
        a1 = 1.0 / (1.0 + g * (g + k)); a2 = g * a1; a3 = g * a2;
    }
    // Returns low-pass; band and high are left in the out parameters.
    double run(double x, double* band = nullptr, double* high = nullptr) {
        const double v3 = x - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1; ic2 = 2 * v2 - ic2;
        if (band) *band = v1;
        if (high) *high = x - k * v1 - v2;
        return v2;
    }
};

}  // namespace dsp
