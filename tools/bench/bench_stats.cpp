#include "bench_stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace bench {

double percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const double rank = std::clamp(p, 0.0, 100.0) / 100.0 * double(samples.size() - 1);
    const auto below = size_t(std::floor(rank));
    const size_t above = std::min(below + 1, samples.size() - 1);
    const double fraction = rank - double(below);
    return samples[below] + (samples[above] - samples[below]) * fraction;
}

FrameStats summarise(const std::vector<double>& frameMs, const std::vector<double>& cpuMs) {
    FrameStats stats;
    if (frameMs.empty()) return stats;
    stats.frames = int(frameMs.size());
    const double totalMs = std::accumulate(frameMs.begin(), frameMs.end(), 0.0);
    stats.fps = totalMs > 0 ? double(frameMs.size()) * 1000.0 / totalMs : 0;
    stats.p50Ms = percentile(frameMs, 50);
    stats.p95Ms = percentile(frameMs, 95);
    if (!cpuMs.empty())
        stats.cpuMs = std::accumulate(cpuMs.begin(), cpuMs.end(), 0.0) / double(cpuMs.size());
    return stats;
}

}  // namespace bench
