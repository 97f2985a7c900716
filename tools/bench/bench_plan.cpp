#include "bench_plan.h"

#include <algorithm>

#include "app/timeline.h"

namespace bench {

ClockSpan sceneClockSpan(int scene) {
    return {scene == 0 ? 0 : sceneEndMs(scene - 1) + 1, sceneEndMs(scene)};
}

std::vector<BenchPresent> benchPlan(uint32_t refreshHz, int presentsPerScene, int onlyScene) {
    const FrameSchedule display{0, refreshHz};
    std::vector<BenchPresent> plan(framesThrough(display, ShowLengthMs));
    for (uint64_t i = 0; i < plan.size(); ++i) plan[i].clockMs = frameClock(display, i);
    for (int scene = 0; scene < SceneCount; ++scene) {
        if (onlyScene >= 0 && onlyScene != scene) continue;
        const ClockSpan span = sceneClockSpan(scene);
        const uint64_t first = firstFrameAtOrPast(display, span.firstMs);
        const uint64_t count = framesThrough(display, span.lastMs) - first;
        const uint64_t timed = std::min<uint64_t>(count, uint64_t(presentsPerScene));
        // Evenly spread: the i-th timed present is floor(i * count / timed) into the scene.
        for (uint64_t i = 0; i < timed; ++i) plan[first + i * count / timed].timedScene = scene;
    }
    return plan;
}

}  // namespace bench
