#include "app/startup.h"

#include <chrono>
#include <thread>

#include "app/audio_clock.h"
#include "app/frame.h"
#include "app/music.h"
#include "app/seek.h"
#include "app/shell.h"
#include "texture/texture_sets.h"

namespace {

void installClock(const StartupSettings& settings) {
    // A simulated clock has no jitter: its presents take the newest due frame as it is.
    setPlayerShowRate(settings.showRate, settings.clock == RunClock::Show);
    if (settings.clock == RunClock::Show) {
        setShowClock(settings.startMs, settings.showRate);
        setClockSource(&showClockMs);
    } else {
        setSimulatedClock(settings.startMs);
        setClockSource(&simulatedClockMs);
    }
}

// A run that starts later than 0 starts from the show there: the show frames before the
// newest at or before `startMs` run again without pixels, and that one runs next (a clock
// already past it runs the later ones due with it). Uncapped, the first frame starts a fresh
// run at the clock value it reads, as the original's late first frame.
void startShowAt(uint32_t startMs, uint32_t rate) {
    if (rate == UncappedShowRate) return;
    const uint64_t frame = framesThrough(wholeRunSchedule(rate), startMs) - 1;
    if (frame == 0) return;
    rewindShowTo(frame, rate);
    setPlayerNextFrame(frame);
}

// Moves on to `stage` and tells the driver.
void enter(StartupProgress& progress, const StartupSettings& settings, StartupStage stage) {
    progress.next = stage;
    if (settings.enteringStage) settings.enteringStage(stage);
}

}  // namespace

StartupStatus continueStartup(StartupProgress& progress, const StartupSettings& settings,
                              const SurfaceFactory& createSurface) {
    for (;;) {
        switch (progress.next) {
            case StartupStage::Clock:
                installClock(settings);
                enter(progress, settings, StartupStage::Images);
                break;
            case StartupStage::Images:
                if (settings.imageThread) prefetchStartupImages();
                enter(progress, settings,
                      settings.music ? StartupStage::MusicOpen : StartupStage::Surface);
                break;
            case StartupStage::MusicOpen:
                setMusicStartMs(settings.startMs);
                setMusicDevice(settings.audioDevice);
                setMusicLatencyMs(settings.audioLatencyMs);
                beginMusic();
                enter(progress, settings, StartupStage::MusicWait);
                break;
            case StartupStage::MusicWait:
                if (!musicOpened()) return StartupStatus::WaitingForMusic;
                enter(progress, settings, StartupStage::Surface);
                break;
            case StartupStage::Surface:
                if (!createSurface()) return StartupStatus::SurfaceFailed;
                enter(progress, settings, StartupStage::Show);
                break;
            case StartupStage::Show:
                prepareShow();
                startShowAt(settings.startMs, settings.showRate);
                enter(progress, settings, StartupStage::Ready);
                break;
            case StartupStage::Ready:
                return StartupStatus::Ready;
        }
    }
}

bool startShow(const StartupSettings& settings, const SurfaceFactory& createSurface) {
    StartupProgress progress;
    for (;;) {
        switch (continueStartup(progress, settings, createSurface)) {
            case StartupStatus::WaitingForMusic:
                // Not a busy poll: that would take a core from the decode thread.
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                break;
            case StartupStatus::SurfaceFailed:
                return false;
            case StartupStatus::Ready:
                return true;
        }
    }
}
