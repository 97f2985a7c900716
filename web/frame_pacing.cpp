#include "frame_pacing.h"

#include <algorithm>

CallbackFrames framesForCallback(uint32_t lastMs, uint32_t nowMs) {
    const uint64_t ticks =
        nowMs > lastMs ? uint64_t(nowMs) * PacingFps / 1000 - uint64_t(lastMs) * PacingFps / 1000 : 0;
    CallbackFrames frames;
    frames.count = int(std::clamp<uint64_t>(ticks, 1, MaxFramesPerCallback));
    if (frames.count == 2) frames.clockMs[0] = lastMs + (nowMs - lastMs) / 2;
    frames.clockMs[frames.count - 1] = nowMs;
    return frames;
}
