#include "app/audio_clock.h"

#include <algorithm>
#include <cmath>

#include "app/music.h"
#include "platform/clock.h"

namespace {
AudioClockState showClock;
uint32_t showClockOffsetMs = 0;  // clock value of process start, ms
}  // namespace

uint32_t advanceAudioClock(AudioClockState& state, double wallMs, std::optional<double> heardMs,
                           uint32_t offsetMs) {
    const std::optional<double> target =
        heardMs ? std::optional<double>(*heardMs - wallMs) : std::nullopt;
    if (target && std::fabs(*target - state.correctionMs) <= FollowLimitMs) {
        if (!state.anchored) {
            state.correctionMs = *target;
            state.anchored = true;
        } else {
            const double step = MaxSlew * std::max(0.0, wallMs - state.lastWallMs);
            state.correctionMs += std::clamp(*target - state.correctionMs, -step, step);
        }
    }
    state.lastWallMs = std::max(state.lastWallMs, wallMs);
    const double value = std::max(0.0, std::floor(wallMs + state.correctionMs)) + offsetMs;
    const uint32_t clamped = uint32_t(std::min(value, 4294967295.0));
    state.lastValue = std::max(state.lastValue, clamped);
    return state.lastValue;
}

void setShowClockOffset(uint32_t offsetMs) { showClockOffsetMs = offsetMs; }

uint32_t showClockMs() {
    const uint64_t us = monotonicUs();
    return advanceAudioClock(showClock, double(us) / 1000.0, musicHeardMs(us), showClockOffsetMs);
}

void resetShowClock() {
    showClock = AudioClockState{};
    showClockOffsetMs = 0;
}
