#pragma once
#include <cstdint>

namespace bench {

// Clock values (ms since process start) during which a scene is current when the timeline
// reaches it: from just after the previous scene's end through its own end.
struct ClockSpan {
    uint32_t firstMs = 0;
    uint32_t lastMs = 0;
};

// Span of scene 0..SceneCount-1.
ClockSpan sceneClockSpan(int scene);

// Clock value of the benchmark's frame `frame` (0..frames-1) in `scene`: the frames are
// spread evenly over the scene's span, the first at its start, so each scene gets exactly
// `frames` frames however many that is (values repeat when frames exceed the span's ms).
uint32_t benchFrameClock(int scene, int frame, int frames);

}  // namespace bench
