#include "bench_plan.h"

#include <cstddef>

#include "app/timeline.h"

namespace bench {

ClockSpan sceneClockSpan(int scene) {
    return {scene == 0 ? 0 : sceneEndMs(scene - 1) + 1, sceneEndMs(scene)};
}

uint32_t benchFrameClock(int scene, int frame, int frames) {
    const ClockSpan span = sceneClockSpan(scene);
    if (frames <= 0) return span.firstMs;
    const uint64_t length = uint64_t(span.lastMs) - span.firstMs + 1;
    return span.firstMs + uint32_t(uint64_t(frame) * length / uint64_t(frames));
}

}  // namespace bench
