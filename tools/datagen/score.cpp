#include "soundtrack.h"

#include "app/timeline.h"
#include "scenes/flash_beats.h"

#include <algorithm>
#include <cmath>

std::vector<double> accentTimesMs() {
    std::vector<double> t(FlashBeats.begin(), FlashBeats.end());
    t.insert(t.end(), PictureBeats.begin(), PictureBeats.end());
    std::sort(t.begin(), t.end());
    return t;
}

std::vector<double> sectionStartsMs() {
    std::vector<double> starts{0.0};
    double sum = 0;
    for (size_t i = 0; i + 1 < Timeline.size(); ++i) starts.push_back(sum += Timeline[i]);
    return starts;
}

double TempoMap::msAt(double tick) const {
    if (tick <= anchorTick.front()) return anchorMs.front() + (tick - anchorTick.front()) * StepMs;
    if (tick >= anchorTick.back()) return anchorMs.back() + (tick - anchorTick.back()) * StepMs;
    const size_t i = size_t(std::upper_bound(anchorTick.begin(), anchorTick.end(), tick) - anchorTick.begin());
    const double f = (tick - anchorTick[i - 1]) / (anchorTick[i] - anchorTick[i - 1]);
    return anchorMs[i - 1] + f * (anchorMs[i] - anchorMs[i - 1]);
}

int TempoMap::tickAt(double ms) const {
    const int estimate = int(std::lround((ms - anchorMs.front()) / StepMs));
    int best = estimate;
    for (int c = estimate - 40; c <= estimate + 40; ++c)
        if (std::abs(msAt(c) - ms) < std::abs(msAt(best) - ms)) best = c;
    return best;
}

TempoMap makeTempoMap() {
    // Anchors: every accent, plus the scene changes that lie well away from any accent
    // (so a section starts exactly on its scene change without squeezing a short gap).
    std::vector<double> times = accentTimesMs();
    for (double s : sectionStartsMs()) {
        if (s <= 0.0) continue;
        bool clear = true;
        for (double a : accentTimesMs()) clear = clear && std::abs(a - s) > 4 * StepMs;
        if (clear) times.push_back(s);
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    TempoMap map;
    double tick = 0;
    map.anchorTick.push_back(tick);
    map.anchorMs.push_back(times.front());
    for (size_t i = 1; i < times.size(); ++i) {
        tick += std::max(1.0, std::round((times[i] - times[i - 1]) / StepMs));
        map.anchorTick.push_back(tick);
        map.anchorMs.push_back(times[i]);
    }
    return map;
}
