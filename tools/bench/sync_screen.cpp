#include "sync_screen.h"

#include <algorithm>
#include <cstdlib>

namespace bench {

std::vector<GrabFrame> grabFrames(const std::vector<int64_t>& timesUs,
                                  const std::vector<uint8_t>& pixels, size_t frameBytes) {
    std::vector<GrabFrame> frames;
    if (frameBytes == 0) return frames;
    const size_t count = std::min(timesUs.size(), pixels.size() / frameBytes);
    frames.reserve(count);
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* frame = pixels.data() + k * frameBytes;
        uint64_t sum = 0, difference = 0;
        for (size_t i = 0; i < frameBytes; ++i) {
            sum += frame[i];
            if (k > 0) difference += uint64_t(std::abs(int(frame[i]) - int(frame[i - frameBytes])));
        }
        frames.push_back({timesUs[k], double(sum) / double(frameBytes),
                          double(difference) / double(frameBytes)});
    }
    return frames;
}

namespace {

ScreenEvent eventAt(const std::vector<GrabFrame>& frames, size_t k) {
    const double before = double(frames[k].timeUs - frames[k - 1].timeUs);
    const double after = k + 1 < frames.size() ? double(frames[k + 1].timeUs - frames[k].timeUs) : before;
    return {double(frames[k].timeUs), std::max(before, after)};
}

}  // namespace

std::vector<ScreenEvent> brightenings(const std::vector<GrabFrame>& frames, double minRise) {
    std::vector<ScreenEvent> events;
    for (size_t k = 1; k < frames.size(); ++k)
        if (frames[k].level - frames[k - 1].level >= minRise) events.push_back(eventAt(frames, k));
    return events;
}

std::vector<ScreenEvent> contentChanges(const std::vector<GrabFrame>& frames, double minChange,
                                        double mergeUs) {
    std::vector<ScreenEvent> events;
    for (size_t k = 1; k < frames.size(); ++k) {
        if (frames[k].change < minChange) continue;
        if (!events.empty() && double(frames[k].timeUs) - events.back().timeUs < mergeUs) continue;
        events.push_back(eventAt(frames, k));
    }
    return events;
}

double firstActivityUs(const std::vector<GrabFrame>& frames) {
    for (size_t k = 1; k < frames.size(); ++k)
        if (frames[k].change > 0) return double(frames[k].timeUs);
    return -1;
}

}  // namespace bench
