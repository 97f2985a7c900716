#include "frame_plan.h"

#include <algorithm>
#include <cstdio>

uint32_t frameClock(uint32_t startMs, uint32_t fps, uint64_t frame) {
    return uint32_t(uint64_t(startMs) + frame * 1000 / fps);
}

uint64_t framesToEnd(uint32_t startMs, uint32_t fps) {
    if (startMs > ShowEndMs) return 0;
    // Frame k is kept while floor(k * 1000 / fps) <= end - start, that is while
    // k * 1000 < (end - start + 1) * fps: the count is the ceiling of that quotient.
    const uint64_t limit = (uint64_t(ShowEndMs - startMs) + 1) * fps;
    return (limit + 999) / 1000;
}

uint64_t firstFrameAtOrPast(uint32_t startMs, uint32_t fps, uint32_t atMs) {
    if (atMs <= startMs) return 0;
    // floor(k * 1000 / fps) >= d holds exactly when k * 1000 >= d * fps (d an integer).
    return (uint64_t(atMs - startMs) * fps + 999) / 1000;
}

std::vector<uint64_t> atFrames(uint32_t startMs, uint32_t fps, const std::vector<uint32_t>& atMs) {
    std::vector<uint64_t> frames;
    for (uint32_t at : atMs) frames.push_back(firstFrameAtOrPast(startMs, fps, at));
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return frames;
}

std::string frameFileName(uint32_t clockMs) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05u.png", unsigned(clockMs));
    return name;
}
