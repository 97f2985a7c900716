#include "effects.h"

#include "soundtrack.h"

#include <cmath>
#include <cstddef>

void addReverb(const std::vector<float>& in, std::vector<float>& outL, std::vector<float>& outR) {
    const int combs[2][4] = {{1557, 1617, 1491, 1422}, {1580, 1640, 1514, 1445}};
    const int passes[2] = {556, 441};
    for (int side = 0; side < 2; ++side) {
        std::vector<float>& out = side == 0 ? outL : outR;
        std::vector<double> wet(in.size(), 0.0);
        for (int c = 0; c < 4; ++c) {
            std::vector<double> line(size_t(combs[side][c]) * 2, 0.0);
            const size_t len = size_t(combs[side][c]) * 2;
            size_t pos = 0;
            double damp = 0;
            for (size_t i = 0; i < in.size(); ++i) {
                const double y = line[pos];
                damp = y * 0.6 + damp * 0.4;
                line[pos] = in[i] + damp * 0.84;
                wet[i] += y;
                pos = (pos + 1) % len;
            }
        }
        for (int p = 0; p < 2; ++p) {
            std::vector<double> line(size_t(passes[p]), 0.0);
            size_t pos = 0;
            for (double& x : wet) {
                const double buf = line[pos];
                const double y = -x + buf;
                line[pos] = x + buf * 0.5;
                x = y;
                pos = (pos + 1) % line.size();
            }
        }
        for (size_t i = 0; i < in.size(); ++i) out[i] += float(wet[i] * 0.12);
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

