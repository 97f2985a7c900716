#include "app/audio_clock.h"

#include <algorithm>
#include <cmath>

#include "app/music.h"
#include "app/show_rate.h"
#include "platform/clock.h"

namespace {
AudioClockState showClock;
ClockSegment showSegment;
PresentLead showLead;
double lastReadMs = 0;           // wall time of the last showClockMs() call, ms
}  // namespace

uint32_t advanceSegmentClock(ClockSegment& segment, AudioClockState& state, double wallMs,
                             std::optional<double> heardMs, double leadMs) {
    if (segment.held) return segment.startValue;
    const double sinceStartMs = std::max(0.0, wallMs - segment.wallStartMs);
    if (segment.waitsForMusic) {
        if (!heardMs && sinceStartMs < MusicWaitMs) return segment.startValue;
        segment.waitsForMusic = false;
    }
    return advanceAudioClock(state, sinceStartMs, heardMs, segment.startValue, leadMs);
}

uint32_t advanceAudioClock(AudioClockState& state, double wallMs, std::optional<double> heardMs,
                           uint32_t offsetMs, double leadMs) {
    const std::optional<double> target =
        heardMs ? std::optional<double>(*heardMs - wallMs) : std::nullopt;
    if (target && !state.anchored) {
        state.correctionMs = *target;
        state.anchored = true;
    } else if (target && std::fabs(*target - state.correctionMs) <= FollowLimitMs) {
        const bool wide = std::fabs(*target - state.correctionMs) > StepGapMs;
        if (!wide) state.gapSinceMs = -1;
        else if (state.gapSinceMs < 0) state.gapSinceMs = wallMs;
        if (wide && wallMs - state.gapSinceMs >= StepAfterMs) {
            state.correctionMs = *target;
            state.gapSinceMs = -1;
        } else {
            const double step = MaxSlew * std::max(0.0, wallMs - state.lastWallMs);
            state.correctionMs += std::clamp(*target - state.correctionMs, -step, step);
        }
    }
    state.lastWallMs = std::max(state.lastWallMs, wallMs);
    const double value = std::max(0.0, std::floor(wallMs + leadMs + state.correctionMs)) + offsetMs;
    const uint32_t clamped = uint32_t(std::min(value, 4294967295.0));
    state.lastValue = std::max(state.lastValue, clamped);
    return state.lastValue;
}

double PresentLead::leadMs() const {
    return std::min(MaxLeadMs, readToShownMs + BeatPhase * periodMs + frameAgeMs);
}

double shownFrameAgeMs(uint32_t showRate) {
    return showRate == UncappedShowRate ? 0.0 : 500.0 / showRate;
}

void notePresentedFrame(PresentLead& lead, double readMs, double shownMs) {
    const double readToShown = std::clamp(shownMs - readMs, 0.0, MaxLeadMs);
    if (lead.lastReadMs < 0) {
        lead.readToShownMs = readToShown;
        lead.periodMs = readToShown;
    } else {
        const double period = std::clamp(readMs - lead.lastReadMs, 0.0, MaxLeadMs);
        lead.readToShownMs += LeadSmoothing * (readToShown - lead.readToShownMs);
        lead.periodMs += LeadSmoothing * (period - lead.periodMs);
    }
    lead.lastReadMs = readMs;
}

void setShowClock(uint32_t offsetMs, uint32_t showRate) {
    showSegment = ClockSegment{0, offsetMs, false, false};
    showLead.frameAgeMs = shownFrameAgeMs(showRate);
}

uint32_t showClockMs() {
    const uint64_t us = monotonicUs();
    lastReadMs = double(us) / 1000.0;
    return advanceSegmentClock(showSegment, showClock, lastReadMs, musicHeardMs(us),
                               showLead.leadMs());
}

void restartShowClock(uint32_t valueMs, bool waitForMusic) {
    showClock = AudioClockState{};
    showSegment = ClockSegment{double(monotonicUs()) / 1000.0, valueMs, waitForMusic, false};
}

void holdShowClock(uint32_t valueMs) {
    showClock = AudioClockState{};
    showSegment = ClockSegment{0, valueMs, false, true};
}

void showFramePresented() {
    notePresentedFrame(showLead, lastReadMs, double(monotonicUs()) / 1000.0);
}

void resetShowClock() {
    showClock = AudioClockState{};
    showSegment = ClockSegment{};
    showLead = PresentLead{};
    lastReadMs = 0;
}
