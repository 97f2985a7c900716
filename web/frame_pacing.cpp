#include "frame_pacing.h"

#include <algorithm>

CallbackFrames framesForCallback(double intervalMs, uint32_t lastMs, uint32_t nowMs) {
    nowMs = std::max(nowMs, lastMs);  // the show's clock never goes back
    CallbackFrames frames;
    frames.count = intervalMs > TwoFramesAboveMs ? 2 : 1;
    if (frames.count == 2) frames.clockMs[0] = lastMs + (nowMs - lastMs) / 2;
    frames.clockMs[frames.count - 1] = nowMs;
    return frames;
}
