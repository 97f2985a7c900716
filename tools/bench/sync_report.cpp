#include "sync_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace bench {

SyncSummary summariseOffsets(const std::vector<double>& offsetsMs) {
    SyncSummary s;
    if (offsetsMs.empty()) return s;
    s.beats = int(offsetsMs.size());
    s.minMs = s.maxMs = offsetsMs.front();
    double sum = 0;
    for (const double offset : offsetsMs) {
        sum += offset;
        s.minMs = std::min(s.minMs, offset);
        s.maxMs = std::max(s.maxMs, offset);
        if (offset > 15.0) ++s.earlyOver15;
    }
    s.meanMs = sum / s.beats;
    s.maxAbsMs = std::max(std::fabs(s.minMs), std::fabs(s.maxMs));
    return s;
}

SyncSummary summariseSync(const std::vector<SyncSample>& samples) {
    std::vector<double> offsets;
    for (const SyncSample& sample : samples) offsets.push_back(sample.offsetMs());
    return summariseOffsets(offsets);
}

std::string offsetDistribution(const std::vector<double>& offsetsMs) {
    constexpr double BinMs = 5;
    std::map<long, int> bins;
    for (const double offset : offsetsMs) ++bins[long(std::floor(offset / BinMs))];
    std::string out;
    char text[64];
    for (const auto& [bin, count] : bins) {
        std::snprintf(text, sizeof text, "%s[%+.0f,%+.0f): %d", out.empty() ? "" : "  ",
                      double(bin) * BinMs, double(bin + 1) * BinMs, count);
        out += text;
    }
    return out;
}

std::string formatSyncReport(const std::vector<SyncSample>& samples, const std::string& mode,
                             bool json) {
    const SyncSummary s = summariseSync(samples);
    char line[256];
    std::string out;
    if (json) {
        std::snprintf(line, sizeof line,
                      "{\"mode\": \"%s\", \"beats\": %d, \"mean_ms\": %.2f, \"min_ms\": %.2f, "
                      "\"max_ms\": %.2f, \"max_abs_ms\": %.2f, \"early_over_15ms\": %d}\n",
                      mode.c_str(), s.beats, s.meanMs, s.minMs, s.maxMs, s.maxAbsMs, s.earlyOver15);
        return line;
    }
    out += "clock mode: " + mode + "\n    beat ms   clock ms   heard ms   offset ms (+: music early)\n";
    for (const SyncSample& sample : samples) {
        std::snprintf(line, sizeof line, "%11u %10u %10.1f %+10.1f\n", sample.beatMs,
                      sample.clockMs, sample.heardMs, sample.offsetMs());
        out += line;
    }
    std::snprintf(line, sizeof line,
                  "beats %d  mean %+.1f ms  range %+.1f .. %+.1f ms  max |offset| %.1f ms  "
                  "early by more than 15 ms: %d\n",
                  s.beats, s.meanMs, s.minMs, s.maxMs, s.maxAbsMs, s.earlyOver15);
    return out + line;
}

}  // namespace bench
