#include "app/startup.h"

#include <thread>

#include "app/audio_clock.h"
#include "app/frame.h"
#include "app/music.h"
#include "app/shell.h"
#include "texture/texture_sets.h"

namespace {

void installClock(const StartupSettings& settings) {
    if (settings.clock == RunClock::Show) {
        setShowClockOffset(settings.startMs);
        setClockSource(&showClockMs);
    } else {
        setSimulatedClock(settings.startMs);
        setClockSource(&simulatedClockMs);
    }
}

}  // namespace

StartupStatus continueStartup(StartupProgress& progress, const StartupSettings& settings,
                              const SurfaceFactory& createSurface) {
    for (;;) {
        switch (progress.next) {
            case StartupStage::Clock:
                installClock(settings);
                progress.next = StartupStage::Images;
                break;
            case StartupStage::Images:
                prefetchStartupImages();
                progress.next = settings.music ? StartupStage::MusicOpen : StartupStage::Surface;
                break;
            case StartupStage::MusicOpen:
                setMusicStartMs(settings.startMs);
                setMusicDevice(settings.audioDevice);
                beginMusic();
                progress.next = StartupStage::MusicWait;
                break;
            case StartupStage::MusicWait:
                if (!musicOpened()) return StartupStatus::WaitingForMusic;
                progress.next = StartupStage::Surface;
                break;
            case StartupStage::Surface:
                if (!createSurface()) return StartupStatus::SurfaceFailed;
                progress.next = StartupStage::Show;
                break;
            case StartupStage::Show:
                prepareShow();
                progress.next = StartupStage::Ready;
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
                // Poll without sleeping; yielding leaves the core to the decode thread.
                std::this_thread::yield();
                break;
            case StartupStatus::SurfaceFailed:
                return false;
            case StartupStatus::Ready:
                return true;
        }
    }
}
