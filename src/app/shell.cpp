#include "app/shell.h"

#include "app/timeline.h"
#include "platform/clock.h"

namespace {
int32_t sceneIndex = 0;
bool quitFlag = false;
ClockSource clockSource = &monotonicMs;
uint32_t simulatedNow = 0;  // ms
}  // namespace

int32_t currentSceneIndex() { return sceneIndex; }
void requestQuit() { quitFlag = true; }
bool isQuitRequested() { return quitFlag; }
void skipToNextScene() { ++sceneIndex; }

uint32_t clockMs() { return clockSource(); }
void setClockSource(ClockSource source) { clockSource = source != nullptr ? source : &monotonicMs; }
void setSimulatedClock(uint32_t nowMs) { simulatedNow = nowMs; }
uint32_t simulatedClockMs() { return simulatedNow; }

void resetShell() {
    sceneIndex = 0;
    quitFlag = false;
    clockSource = &monotonicMs;
    simulatedNow = 0;
}

void rewindTimeline() {
    sceneIndex = 0;
    quitFlag = false;
}

void endTimeline() {
    sceneIndex = SceneCount;
    requestQuit();
}

bool simulatedClockInstalled() { return clockSource == &simulatedClockMs; }

int32_t advanceSceneIndex(uint32_t now) {
    // Reaching SceneCount ends the run; ">=" only guards against an index already past it.
    sceneIndex = applyTimeline(sceneIndex, now);
    if (sceneIndex >= SceneCount) requestQuit();
    return sceneIndex;
}
