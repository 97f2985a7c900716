#include "app/startup.h"

#include <chrono>
#include <thread>

#include "app/audio_clock.h"
#include "app/frame.h"
#include "app/music.h"
#include "app/shell.h"
#include "texture/texture_sets.h"

namespace {

void installClock(const StartupSettings& settings) {
    // A simulated clock has no jitter: its presents take the newest due frame as it is.
    setPlayerShowRate(settings.startMs, settings.showRate, settings.clock == RunClock::Show);
    if (settings.clock == RunClock::Show) {
        setShowClock(settings.startMs, settings.showRate);
        setClockSource(&showClockMs);
    } else {
        setSimulatedClock(settings.startMs);
        setClockSource(&simulatedClockMs);
    }
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
