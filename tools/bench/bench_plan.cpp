#include "bench_plan.h"

#include <cstddef>

#include "app/timeline.h"

namespace bench {

ClockSpan sceneClockSpan(int scene) {
    uint32_t end = 0;
    ClockSpan span;
    for (int s = 0; s <= scene && s < int(Timeline.size()); ++s) {
        span.firstMs = s == 0 ? 0 : end + 1;
        end += Timeline[size_t(s)];
        span.lastMs = end;
    }
    return span;
}

uint32_t benchFrameClock(int scene, int frame, int frames) {
    const ClockSpan span = sceneClockSpan(scene);
    if (frames <= 0) return span.firstMs;
    const uint64_t length = uint64_t(span.lastMs) - span.firstMs + 1;
    return span.firstMs + uint32_t(uint64_t(frame) * length / uint64_t(frames));
}

}  // namespace bench
