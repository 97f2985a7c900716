#pragma once
#include <cstdint>

// How many show frames the page draws per animation frame. The warp and particle scenes
// move per frame, and the show is made to look right at 120 frames per second (at 60 the
// particle text never finishes), while a browser calls back at the display's refresh rate,
// often 60 Hz. So each callback draws as many frames as 120 Hz ticks have passed on the
// show's clock since the last one, at least one and at most two: two per callback on a
// 60 Hz display, one on a display of 120 Hz or faster. Only the last frame is seen.

inline constexpr uint32_t PacingFps = 120;        // the frame rate the page imitates
inline constexpr int MaxFramesPerCallback = 2;    // bounds the work of a slow callback

struct CallbackFrames {
    int count = 1;           // 1..MaxFramesPerCallback
    uint32_t clockMs[2] = {};  // clock value of each frame, ascending, the last one `now`
};

// `lastMs`: clock value of the previous callback's last frame; `nowMs`: the clock now
// (never less than `lastMs`, the show's clock only grows). Frames in between take the
// midpoint.
CallbackFrames framesForCallback(uint32_t lastMs, uint32_t nowMs);
