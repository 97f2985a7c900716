// demo: the show over the whole desktop with its soundtrack. Options only add to it; with
// none it is exactly the plain show.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/display_choice.h"
#include "app/frame.h"
#include "app/option_values.h"
#include "app/options.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/timeline.h"
#include "app/transport.h"
#include "platform/desktop_display.h"
#include "platform/display.h"
#include "platform/process.h"
#include "platform/sound.h"
#include "platform/startup_failure.h"
#include "platform/termination.h"
#include "platform/watchdog.h"

namespace {

// Makes the directory that holds data/ the working directory; a start-up failure that
// says where it looked when there is none. The build defines where an installed copy
// keeps its data: DEMO_DATA_FROM_PROGRAM relative to the program's directory,
// DEMO_INSTALL_DATA_DIR absolute.
void enterDataRoot() {
    std::string searched;
    const std::string root = findDataRoot(
        dataRootCandidates(executableDirectory(), DEMO_DATA_FROM_PROGRAM, DEMO_INSTALL_DATA_DIR),
        searched);
    if (root.empty()) failStartup("no show data found (looked in " + searched + ")");
    if (root != "." && !enterDirectory(root)) failStartup("cannot enter " + root);
}

// One line: the show frames and presents of the run, each per second of show clock played
// (seeks and loops left out), and the size the last frames were drawn at (the drawable's
// pixels).
void printFrameStats(const PlayStats& stats) {
    const double seconds = stats.playedMs / 1000.0;
    const auto perSecond = [&](uint64_t count) {
        return seconds > 0 && count > stats.stretches ? double(count - stats.stretches) / seconds : 0.0;
    };
    const DesktopRect drawn = desktopRect();
    std::fprintf(stderr, "frame stats: %llu show frames from %u to %u ms (%.1f a second), %llu presents (%.1f a second), drawn at %dx%d pixels\n",
                 static_cast<unsigned long long>(stats.showFrames), unsigned(stats.firstFrameMs),
                 unsigned(stats.lastFrameMs), perSecond(stats.showFrames),
                 static_cast<unsigned long long>(stats.presents), perSecond(stats.presents),
                 int(drawn.right - drawn.left), int(drawn.bottom - drawn.top));
}

}  // namespace

// Bounds of the start-up steps and of one frame (s): far beyond what they take on a busy
// machine, short enough that a run stuck on the outside world ends with a reason.
constexpr int MusicStartLimitS = 30;
constexpr int DisplayLimitS = 30;
constexpr int LoadLimitS = 60;
constexpr int FrameLimitS = 30;
// Longest wait for a show frame before the loop looks at the quit request again, ms.
constexpr uint32_t MaxWaitMs = 20;

int main(int argc, char** argv) {
    installTerminationHandlers();
    const std::string program = programName(argc > 0 ? argv[0] : nullptr, "demo");
    const ParsedOptions parsed = parsePlayerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), parsed.error.c_str());
        return 2;
    }
    const PlayerOptions& options = parsed.options;
    if (options.help) {
        std::fputs(playerHelpText(program, DEMO_INSTALL_DATA_DIR).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("%s (SOLTAREK ASKETRO) %s\n", program.c_str(), DEMO_VERSION);
        return 0;
    }
    if (options.listAudioDevices) {
        std::vector<std::string> names;
        std::string error;
        if (!sound::listOutputDevices(names, error)) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
            return 1;
        }
        for (const std::string& name : names) std::printf("%s\n", name.c_str());
        return 0;
    }
    if (options.listDisplays) {
        std::vector<DisplayInfo> displays;
        std::string error;
        if (!listDisplays(displays, error)) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
            return 1;
        }
        std::fputs(displayListText(displays).c_str(), stdout);
        return 0;
    }
    if (options.displayGiven) {
        // A monitor that is not there is refused as a wrong option, before the music starts;
        // without a display server the window's own start-up says so.
        std::vector<DisplayInfo> displays;
        std::string error;
        const std::string wrong = listDisplays(displays, error) ? displayChoiceError(options.display, displays.size()) : "";
        if (!wrong.empty()) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), wrong.c_str());
            return 2;
        }
        requestDisplay(int(options.display));
    }
    // Failures from here on are also shown in a dialog when the caller asked for one.
    if (options.errorDialog) enableFailureDialog();
    enterDataRoot();
    if (options.window) requestWindowedDisplay(options.windowWidth, options.windowHeight);
    if (options.showRate == UncappedShowRate) requestUncappedPresents();

    // The clock starts at --start and follows the music heard (plain wall time when muted).
    StartupSettings settings;
    settings.startMs = options.loopRange && !options.startGiven ? options.loopFromMs : options.startMs;
    settings.showRate = options.showRate;
    settings.music = !options.mute;
    settings.audioDevice = options.audioDevice;
    settings.audioLatencyMs = options.audioLatencyMs;
    settings.enteringStage = [](StartupStage stage) {
        switch (stage) {
            case StartupStage::MusicOpen: watchStep("starting the music", MusicStartLimitS); break;
            case StartupStage::Surface: watchStep("opening the display", DisplayLimitS); break;
            case StartupStage::Show: watchStep("loading the show's images", LoadLimitS); break;
            case StartupStage::Ready: watchStep("drawing a frame", FrameLimitS); break;
            default: break;
        }
    };
    startShow(settings, [] {
        createDisplay();  // exits with a message on failure
        return true;
    });
    showStatusLine(true);
    if (options.loopRange) setLoopRange({options.loopFromMs, options.loopToMs});
    deferTerminationToLoop();
    while (!isQuitRequested()) {
        watchProgress();
        if (terminationRequested()) requestQuit();
        // A display faster than the show rate: wait for the next show frame (never spin).
        const PlayOutcome outcome = playFrame();
        if (!outcome.presented) std::this_thread::sleep_for(
                std::chrono::milliseconds(std::clamp(outcome.nextFrameInMs, 1u, MaxWaitMs)));
    }
    watchNothing();
    if (options.frameStats) printFrameStats(playStats());
    // A run that reached the end of the timeline starts again; Escape or a close ends it.
    if (options.loop && currentSceneIndex() >= SceneCount) {
        restartProcess(argv);
        failStartup("cannot restart the show");
    }
    return 0;
}
