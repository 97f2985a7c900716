#pragma once

#include "scenes/julia_sweep.h"

// The warp-sweep scene: the Julia-set square whose constant sweeps every frame.
void drawWarpSweep();
// The warp-still scene: the same square with the fixed constant (-0.824, -0.1711).
void drawWarpStill();

// Start-up values: the sweep's first constant, no still image, a black image buffer.
void resetWarpScenes();

// The process-wide constant of the warp sweep (read by tests).
const JuliaSweep& warpSweepState();

// Spans of the image on the real and imaginary axes, and the constant of the warp still.
inline constexpr float WarpSpanRe = 2.0f;
inline constexpr float WarpSpanIm = 1.5f;
inline constexpr float StillJuliaRe = -0.824f;
inline constexpr float StillJuliaIm = -0.1711f;
