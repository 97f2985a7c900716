#include "effects.h"

#include "soundtrack.h"

#include <cmath>
#include <cstddef>

void addReverb(const std::vector<float>& in, std::vector<float>& outL, std::vector<float>& outR) {
    // Comb lengths spread over 25..37 ms, so the first echoes come as a dense wash rather than
    // as one slap that a listener hears as a second hit. The right side's are 23 samples longer.
    constexpr size_t Combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    constexpr size_t Passes[4] = {556, 441, 341, 225};
    constexpr double Feedback = 0.88;  // about 1.7 s to fall by 60 dB
    for (int side = 0; side < 2; ++side) {
        std::vector<float>& out = side == 0 ? outL : outR;
        std::vector<double> wet(in.size(), 0.0);
        for (size_t comb : Combs) {
            std::vector<double> line(comb + 23 * size_t(side), 0.0);
            size_t pos = 0;
            double damp = 0;
            for (size_t i = 0; i < in.size(); ++i) {
                const double y = line[pos];
                damp = y * 0.6 + damp * 0.4;
                line[pos] = in[i] + damp * Feedback;
                wet[i] += y;
                if (++pos == line.size()) pos = 0;
            }
        }
        for (size_t pass : Passes) {
            std::vector<double> line(pass, 0.0);
            size_t pos = 0;
            for (double& x : wet) {
                const double buf = line[pos];
                line[pos] = x + buf * 0.5;
                x = buf - x;
                if (++pos == line.size()) pos = 0;
            }
        }
        for (size_t i = 0; i < in.size(); ++i) out[i] += float(wet[i] * 0.036);
    }
}

void addDelay(const std::vector<float>& in, std::vector<float>& outL, std::vector<float>& outR) {
    const size_t d = size_t(std::lround(3.0 * StepMs / 1000.0 * SampleRate));
    std::vector<double> l(in.size(), 0.0), r(in.size(), 0.0);
    for (size_t i = 0; i < in.size(); ++i) {
        const double fromR = i >= d ? r[i - d] : 0.0;
        const double fromL = i >= d ? l[i - d] : 0.0;
        l[i] = in[i] + 0.45 * fromR;
        r[i] = 0.45 * fromL;
        outL[i] += float(fromL * 0.7);
        outR[i] += float(fromR * 0.7);
    }
}

