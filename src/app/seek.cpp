#include "app/seek.h"

#include "app/frame.h"
#include "app/shell.h"
#include "app/show_state.h"
#include "render/frame_pixels.h"

namespace {
// Show frames run between two waits for the driver (render/frame_pixels.h): a second of show.
constexpr uint64_t FinishEveryFrames = 120;
}  // namespace

FrameSchedule wholeRunSchedule(uint32_t rate) { return {0, rate}; }

uint64_t showFrameAt(uint32_t rate, uint32_t atMs) {
    return rate == UncappedShowRate ? 0 : firstFrameAtOrPast(wholeRunSchedule(rate), atMs);
}

void rewindShowTo(uint64_t frame, uint32_t rate) {
    rewindShowState();
    if (rate == UncappedShowRate) return;
    const FrameSchedule run = wholeRunSchedule(rate);
    // Past the show's end the timeline stops the run: nothing more to run.
    for (uint64_t k = 0; k < frame && !isQuitRequested(); ++k) {
        drawFrame(frameClock(run, k), FramePixels::None);
        if ((k + 1) % FinishEveryFrames == 0) finishUnseenFrames();
    }
}
