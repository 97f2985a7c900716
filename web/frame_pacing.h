#pragma once
#include <cstdint>

// How many show frames the page draws per animation frame. The warp and particle scenes
// move per frame, and the show is made to look right at 120 frames per second (at 60 the
// particle text never finishes), while the browser calls back at the display's refresh
// rate, often 60 Hz. So on a display slower than 120 Hz each callback draws two frames and
// only the second is seen; on a 120 Hz or faster display, one.

// Callback interval above which a callback draws two frames, ms: 120 Hz displays call back
// every 8.3 ms; the margin absorbs their jitter (displays below about 105 Hz get two).
inline constexpr double TwoFramesAboveMs = 9.5;

struct CallbackFrames {
    int count = 1;             // 1 or 2
    uint32_t clockMs[2] = {};  // clock value of each frame, ascending; the last one is `now`
};

// `intervalMs`: time since the previous callback (the animation-frame timestamps), ms.
// `lastMs`: clock value of the previous callback's last frame; `nowMs`: the clock now (a
// value below `lastMs` counts as `lastMs`). A first frame of two takes the midpoint.
CallbackFrames framesForCallback(double intervalMs, uint32_t lastMs, uint32_t nowMs);
