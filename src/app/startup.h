#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "app/show_rate.h"

// The start-up order of every run, whoever drives it (the player, the capture and
// benchmark tools, the tests, a browser page), each step complete before the next:
//   1. the clock the run reads is installed, with the show frames playFrame runs;
//   2. the start-up images begin decoding on a thread of their own (where there are threads);
//   3. the soundtrack starts, before any window exists (unless the run is silent);
//   4. the driver's surface is created and its GL context made current;
//   5. the show is prepared: texture sets, particles, the picture bookkeeping.

enum class RunClock {
    Show,       // wall time since process start plus startMs, following the music heard
    Simulated,  // the value the driver sets frame by frame (setSimulatedClock)
};

enum class StartupStage { Clock, Images, MusicOpen, MusicWait, Surface, Show, Ready };

struct StartupSettings {
    RunClock clock = RunClock::Show;
    uint32_t startMs = 0;     // clock value the run starts at (ms, 0..90596); the music too
    // Show frames per second of show clock for playFrame (1..MaxShowRate, or
    // UncappedShowRate: one per present); show frame 0 runs at startMs.
    uint32_t showRate = DefaultShowRate;
    bool music = true;        // start the soundtrack (off: --mute, capture, tests)
    std::string audioDevice;  // output device by name; empty: the default device
    uint32_t audioLatencyMs = 0;  // output latency added by hand to what it reports, ms
    bool imageThread = true;  // decode the start-up images on a thread of their own (off
                              // where there are no threads: a browser page)
    // Told of each stage after the clock as it begins (Ready: start-up is done), e.g. to
    // bound the time a stage may take.
    std::function<void(StartupStage)> enteringStage;
};

// Creates the run's surface (a window, an offscreen framebuffer, a canvas) with its GL
// context current. False on failure; the driver reports why.
using SurfaceFactory = std::function<bool()>;

struct StartupProgress {
    StartupStage next = StartupStage::Clock;  // the step not yet done
};

enum class StartupStatus {
    WaitingForMusic,  // call again later: the soundtrack is still opening
    SurfaceFailed,    // the factory failed; calling again tries it again
    Ready,            // the first frame may be drawn
};

// Runs the steps in order until one has to wait or all are done. A driver that must not
// block (a browser's frame callback) calls it once per callback until it returns Ready.
// A music failure ends the process as startMusic does.
StartupStatus continueStartup(StartupProgress& progress, const StartupSettings& settings,
                              const SurfaceFactory& createSurface);

// The whole start-up in one call, polling every millisecond while the music opens. True
// when the show is ready for its first frame, false when the surface could not be created.
bool startShow(const StartupSettings& settings, const SurfaceFactory& createSurface);
