#pragma once
#include <cstdint>
#include <vector>

#include "app/show_rate.h"

namespace bench {

// Clock values (ms since process start) during which a scene is current when the timeline
// reaches it: from just after the previous scene's end through its own end.
struct ClockSpan {
    uint32_t firstMs = 0;
    uint32_t lastMs = 0;
};

// Span of scene 0..SceneCount-1.
ClockSpan sceneClockSpan(int scene);

// The player's schedule, simulated: the show runs its show frames at the show rate through
// the tick driver, and a display of `refreshHz` presents at clock values floor(i * 1000 / Hz),
// each showing the newest due show frame. A benchmark times a few presents of every scene,
// spread evenly over the scene; the presents between them run their show frames without
// pixels (their state advances exactly as in the player, at a fraction of the cost).
struct BenchPresent {
    uint32_t clockMs = 0;  // clock value of the present
    int timedScene = -1;   // the scene it is timed for, 0..SceneCount-1; -1: not timed
};

// Every present of the show at `refreshHz` (1..1000), in order, with up to
// `presentsPerScene` of each scene timed (all of a scene's presents when it has fewer), or
// only those of `onlyScene` when that is a scene index (-1: every scene).
std::vector<BenchPresent> benchPlan(uint32_t refreshHz, int presentsPerScene, int onlyScene);

}  // namespace bench
