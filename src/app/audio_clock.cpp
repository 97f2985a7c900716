#include "app/audio_clock.h"

#include <algorithm>
#include <cmath>

#include "app/music.h"
#include "app/show_rate.h"
#include "platform/clock.h"

namespace {
AudioClockState showClock;
PresentLead showLead;
double lastReadMs = 0;           // wall time of the last showClockMs() call, ms
uint32_t showClockOffsetMs = 0;  // clock value of process start, ms
}  // namespace

uint32_t advanceAudioClock(AudioClockState& state, double wallMs, std::optional<double> heardMs,
                           uint32_t offsetMs, double leadMs) {
    const std::optional<double> target =
        heardMs ? std::optional<double>(*heardMs - wallMs) : std::nullopt;
    if (target && !state.anchored) {
        state.correctionMs = *target;
        state.anchored = true;
    } else if (target && std::fabs(*target - state.correctionMs) <= FollowLimitMs) {
        const double step = MaxSlew * std::max(0.0, wallMs - state.lastWallMs);
        state.correctionMs += std::clamp(*target - state.correctionMs, -step, step);
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
    showClockOffsetMs = offsetMs;
    showLead.frameAgeMs = shownFrameAgeMs(showRate);
}

uint32_t showClockMs() {
    const uint64_t us = monotonicUs();
    lastReadMs = double(us) / 1000.0;
    return advanceAudioClock(showClock, lastReadMs, musicHeardMs(us), showClockOffsetMs,
                             showLead.leadMs());
}

void showFramePresented() {
    notePresentedFrame(showLead, lastReadMs, double(monotonicUs()) / 1000.0);
}

void resetShowClock() {
    showClock = AudioClockState{};
    showLead = PresentLead{};
    lastReadMs = 0;
    showClockOffsetMs = 0;
}
