#include "app/transport.h"

#include <algorithm>
#include <cstdio>

#include "app/audio_clock.h"
#include "app/frame.h"
#include "app/music.h"
#include "app/seek.h"
#include "app/shell.h"
#include "app/timeline.h"
#include "platform/clock.h"

namespace {
TransportState transport;
TransportRequest pending;        // asked for, not yet carried out
uint32_t statusUntilMs = 0;      // wall time (ms since process start) the status line shows
                                 // until; 0: no request yet

// The clock of the show frame before `shown` (at or after 0).
uint32_t frameBefore(const ShownFrame& shown, uint32_t rate) {
    if (rate == UncappedShowRate) return shown.clockMs > 0 ? shown.clockMs - 1 : 0;
    return frameClock(wholeRunSchedule(rate), shown.index > 0 ? shown.index - 1 : 0);
}

TransportMove seekTo(uint32_t ms) { return {TransportMove::Kind::Seek, ms}; }

// Sets the run's clock to `valueMs` for a move: held while paused, else running from there
// with the music (the simulated clock of a test is only set).
void moveClock(uint32_t valueMs) {
    if (simulatedClockInstalled()) {
        setSimulatedClock(valueMs);
    } else if (transport.paused) {
        holdShowClock(valueMs);
    } else {
        restartShowClock(valueMs, musicPlays());
        seekMusic(valueMs);
    }
}

// The show at `atMs` (its end when past it): the frames before it run again, the one seen
// there is the next to run, the clock and the music at its clock value.
void moveShowTo(uint32_t atMs) {
    if (atMs > ShowLengthMs) {
        endTimeline();
        return;
    }
    const uint32_t rate = playerTicks().show.rate;
    const uint64_t frame = showFrameAt(rate, atMs);
    rewindShowTo(frame, rate);
    if (isQuitRequested()) return;  // the frame seen there lies past the last scene's end
    setPlayerNextFrame(frame);
    moveClock(rate == UncappedShowRate ? atMs : frameClock(wholeRunSchedule(rate), frame));
}

}  // namespace

TransportMove planTransport(TransportState& state, const TransportRequest& request,
                            const ShownFrame& shown, uint32_t rate) {
    switch (request.action) {
        case TransportAction::None:
            return {};
        case TransportAction::TogglePause:
            state.paused = !state.paused;
            return {};
        case TransportAction::Back:
            return seekTo(shown.clockMs > JumpMs ? shown.clockMs - JumpMs : 0);
        case TransportAction::Ahead:
            return seekTo(shown.clockMs + JumpMs);
        case TransportAction::ToStart:
            return seekTo(0);
        case TransportAction::ToScene:
            return seekTo(sceneStartMs(int32_t(std::min<uint32_t>(request.value, SceneCount - 1))));
        case TransportAction::FrameBack:
            state.paused = true;
            return seekTo(frameBefore(shown, rate));
        case TransportAction::FrameAhead:
            state.paused = true;
            return {TransportMove::Kind::StepAhead, 0};
        case TransportAction::ToggleSceneLoop: {
            state.looping = !state.looping;
            const int32_t scene = std::clamp(shown.scene, 0, SceneCount - 1);
            if (state.looping) state.loop = {sceneStartMs(scene), sceneEndMs(scene)};
            return {};
        }
        case TransportAction::SeekTo:
            return seekTo(request.value);
    }
    return {};
}

TransportMove planLoop(const TransportState& state, uint32_t nextFrameMs) {
    if (!state.looping || state.paused || nextFrameMs <= state.loop.toMs) return {};
    return seekTo(state.loop.fromMs);
}

void requestTransport(const TransportRequest& request) { pending = request; }

TransportRequest takeTransportRequest() {
    const TransportRequest request = pending;
    pending = TransportRequest{};
    return request;
}

bool applyTransport() {
    if (isQuitRequested()) return false;
    const TransportRequest request = takeTransportRequest();
    const TickDriver& ticks = playerTicks();
    const bool wasPaused = transport.paused;
    TransportMove move = planTransport(transport, request, shownFrame(), ticks.show.rate);
    if (request.action != TransportAction::None) statusUntilMs = monotonicMs() + StatusLineMs;
    if (move.kind == TransportMove::Kind::Stay) {
        const uint32_t now = clockMs();
        const uint32_t next = nextFrameClock(ticks, now);
        // The loop's end once the next show frame is due (a display between two of them
        // shows the last one before the end until then).
        if (next <= now) move = planLoop(transport, next);
    }
    const ShownFrame shown = shownFrame();
    switch (move.kind) {
        case TransportMove::Kind::Seek:
            if (transport.paused && !wasPaused) pauseMusic();
            moveShowTo(move.seekMs);
            return true;
        case TransportMove::Kind::StepAhead:
            if (!wasPaused) pauseMusic();
            // The clock stands on the next frame's value: a cadence shift kept from playing
            // could hold that frame back for good, so the cadence is followed afresh, as
            // after a seek.
            setPlayerNextFrame(ticks.next);
            moveClock(nextFrameClock(ticks, shown.clockMs + 1));
            return true;
        case TransportMove::Kind::Stay:
            if (transport.paused != wasPaused) {
                // A pause holds the picture's place; a resume starts clock and music there.
                if (transport.paused) pauseMusic();
                moveClock(shown.clockMs);
            }
            return false;
    }
    return false;
}

void setLoopRange(const LoopRange& range) {
    transport.looping = true;
    transport.loop = range;
}

const TransportState& transportState() { return transport; }

std::string statusLineText(const TransportState& state, const ShownFrame& shown) {
    char line[160];
    const int32_t scene = std::clamp(shown.scene, 0, SceneCount - 1);
    int length = std::snprintf(line, sizeof line, "%u.%03u s  scene %d %s", unsigned(shown.clockMs / 1000),
                               unsigned(shown.clockMs % 1000), int(scene), SceneNames[size_t(scene)]);
    std::string text(line, size_t(std::max(length, 0)));
    if (state.paused) text += "  paused";
    if (state.looping) {
        length = std::snprintf(line, sizeof line, "  loop %u.%03u-%u.%03u s", unsigned(state.loop.fromMs / 1000),
                               unsigned(state.loop.fromMs % 1000), unsigned(state.loop.toMs / 1000),
                               unsigned(state.loop.toMs % 1000));
        text.append(line, size_t(std::max(length, 0)));
    }
    return text;
}

bool statusLineShown(uint32_t wallMs) { return wallMs < statusUntilMs; }

ShownFrame shownFrame() {
    const TickDriver& ticks = playerTicks();
    return {ticks.next > 0 ? ticks.next - 1 : 0, playStats().lastFrameMs, currentSceneIndex()};
}

void resetTransport() {
    transport = TransportState{};
    pending = TransportRequest{};
    statusUntilMs = 0;
}
