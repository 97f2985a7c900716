// The show in a web page: the show's start-up path and frame, driven by the page's
// animation-frame callback instead of a loop. The page passes its arguments:
//   --size WxH        the canvas's drawing-buffer size (the "desktop"), pixels
//   --mute            no soundtrack
//   --at MS --fps N   the frame hook for tests: demo-capture's simulated clock at N frames
//                     per second, run to the first frame at or past MS, which is held;
//                     then document.title becomes "frame MS"
//   --bench N         demo-bench's run: N frames of every scene, each finished before the
//                     next; prints their frame rates as one line of JSON and sets
//                     document.title to "bench done"
#include <GL/gl.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "app/audio_clock.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/option_values.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/timeline.h"
#include "bench_plan.h"
#include "bench_stats.h"
#include "frame_pacing.h"
#include "frame_plan.h"
#include "platform/display.h"
#include "platform/web/page_bridge.h"

namespace {

struct PageOptions {
    int width = 1280;     // pixels
    int height = 720;     // pixels
    bool mute = false;
    bool hook = false;    // --at given
    uint32_t atMs = 0;    // clock value of the held frame, 0..ShowEndMs
    uint32_t fps = 60;    // simulated frames per second, 1..1000
    int benchFrames = 0;  // frames per scene of a benchmark run; 0: none
};

constexpr int MaxSide = 8192;  // pixels

bool parsePageOptions(const std::vector<std::string>& args, PageOptions& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--mute") {
            options.mute = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "unknown option or missing value: " + name;
            return false;
        }
        const std::string& value = args[++i];
        uint64_t number = 0;
        bool good = false;
        if (name == "--size") {
            good = parseSizeValue(value, 1, MaxSide, options.width, options.height);
        } else if (name == "--at") {
            good = parseWholeNumber(value, 0, ShowEndMs, number);
            options.atMs = uint32_t(number);
            options.hook = true;
        } else if (name == "--fps") {
            good = parseWholeNumber(value, 1, 1000, number);
            options.fps = uint32_t(number);
        } else if (name == "--bench") {
            good = parseWholeNumber(value, 1, 100000, number);
            options.benchFrames = int(number);
        }
        if (!good) {
            error = "bad option " + name + " " + value;
            return false;
        }
    }
    return true;
}

StartupSettings startup;
StartupProgress startupProgress;

// Time the hook and the benchmark draw per callback before the page may present and
// handle events, ms.
constexpr double BatchMs = 40;

struct PlayRun {
    uint32_t lastClock = 0;    // clock value of the last frame drawn
    double lastCallback = 0;   // animation-frame timestamp of the last callback, ms
};
PlayRun playRun;

struct HookRun {
    uint32_t fps = 60;
    uint32_t atMs = 0;
    uint64_t next = 0;  // index of the next frame to draw
    uint64_t held = 0;  // index of the frame that is held
};
HookRun hookRun;

struct BenchRun {
    int frames = 0;  // per scene
    int scene = 0;   // scene of the next frame, 0..SceneCount - 1
    int frame = 0;   // next frame within the scene
    std::array<std::vector<double>, SceneCount> frameMs;  // by the scene that drew them
};
BenchRun benchRun;

EM_JS(void, pageShowEnded, (), {
    if (Module["onShowEnd"]) Module["onShowEnd"]();
});

EM_JS(void, pageTitle, (const char* title), {
    document.title = UTF8ToString(title);
});

// Start-up, a step per callback while the page still decodes the soundtrack. False while
// it is not done; a surface that cannot be made ends the run (the display said why).
bool started() {
    return continueStartup(startupProgress, startup, [] {
        createDisplay();
        return true;
    }) == StartupStatus::Ready;
}

// GL errors of the frames drawn since the last check, to the console.
void reportGlErrors(uint32_t now) {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        std::fprintf(stderr, "GL error 0x%04x by clock value %u\n", unsigned(error), unsigned(now));
}

EM_BOOL playCallback(double timeMs, void*) {
    if (!started()) return EM_TRUE;
    const double interval = playRun.lastCallback > 0 ? timeMs - playRun.lastCallback : 0;
    playRun.lastCallback = timeMs;
    const CallbackFrames frames = framesForCallback(interval, playRun.lastClock, clockMs());
    for (int i = 0; i < frames.count && !isQuitRequested(); ++i) {
        drawFrame(frames.clockMs[i]);
        pumpMessages();
        swapBuffers(displayDeviceContext());
    }
    playRun.lastClock = frames.clockMs[frames.count - 1];
    // The page shows the callback's last frame at the next refresh: the show clock leans
    // ahead by the drawing time and part of the callback interval, as for the window.
    showFramePresented();
    if (!isQuitRequested()) return EM_TRUE;
    // The page's keys are the page's again (Enter on its "play again" button among them).
    emscripten_html5_remove_all_event_listeners();
    pageShowEnded();
    return EM_FALSE;
}

EM_BOOL hookCallback(double, void*) {
    if (!started()) return EM_TRUE;
    const double until = emscripten_get_now() + BatchMs;
    uint32_t now = 0;
    while (hookRun.next <= hookRun.held) {
        now = frameClock(0, hookRun.fps, hookRun.next++);
        setSimulatedClock(now);
        drawFrame(now);
        swapBuffers(displayDeviceContext());
        if (hookRun.next <= hookRun.held && emscripten_get_now() > until) break;
    }
    reportGlErrors(now);
    if (hookRun.next <= hookRun.held) return EM_TRUE;
    pageTitle(("frame " + std::to_string(hookRun.atMs)).c_str());
    return EM_FALSE;
}

// The benchmark as demo-bench runs it: frames spread evenly over each scene, each drawn
// and finished before the next, timed from start to finish. WebGL's finish does not wait
// for the drawing; reading a pixel back does.
EM_BOOL benchCallback(double, void*) {
    if (!started()) return EM_TRUE;
    const double until = emscripten_get_now() + BatchMs;
    while (benchRun.scene < SceneCount && emscripten_get_now() < until) {
        const uint32_t now = bench::benchFrameClock(benchRun.scene, benchRun.frame, benchRun.frames);
        setSimulatedClock(now);
        const double start = emscripten_get_now();
        drawFrame(now);
        swapBuffers(displayDeviceContext());
        uint8_t pixel[4];
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        const int32_t drawn = currentSceneIndex();
        if (drawn >= 0 && drawn < SceneCount) benchRun.frameMs[size_t(drawn)].push_back(emscripten_get_now() - start);
        if (++benchRun.frame == benchRun.frames) {
            benchRun.frame = 0;
            ++benchRun.scene;
        }
    }
    if (benchRun.scene < SceneCount) return EM_TRUE;
    std::string json = "{\"scenes\": [";
    for (size_t i = 0; i < benchRun.frameMs.size(); ++i) {
        const bench::FrameStats stats = bench::summarise(benchRun.frameMs[i]);
        char entry[160];
        std::snprintf(entry, sizeof entry,
                      "%s{\"scene\": %zu, \"frames\": %d, \"fps\": %.1f, \"p50_ms\": %.3f, \"p95_ms\": %.3f}",
                      i == 0 ? "" : ", ", i, stats.frames, stats.fps, stats.p50Ms, stats.p95Ms);
        json += entry;
    }
    std::printf("%s]}\n", json.c_str());
    std::fflush(stdout);
    pageTitle("bench done");
    return EM_FALSE;
}

}  // namespace

int main(int argc, char** argv) {
    startRunClock();
    PageOptions options;
    std::string error;
    if (!parsePageOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::printf("Error: %s\n", error.c_str());
        return 1;
    }
    requestWindowedDisplay(options.width, options.height);
    startup.imageThread = false;  // the page has no threads
    const bool simulated = options.hook || options.benchFrames > 0;
    startup.clock = simulated ? RunClock::Simulated : RunClock::Show;
    startup.music = !options.mute && !simulated;
    if (options.benchFrames > 0) {
        benchRun.frames = options.benchFrames;
    } else if (options.hook) {
        // As demo-capture from clock value 0: frame k at k * 1000 / fps. An MS past the
        // last frame of the show holds the last frame.
        hookRun.fps = options.fps;
        hookRun.atMs = options.atMs;
        const uint64_t lastInShow = framesToEnd(0, options.fps) - 1;
        hookRun.held = std::min(firstFrameAtOrPast(0, options.fps, options.atMs), lastInShow);
    }
    // The page has decoded the soundtrack by now, so start-up normally finishes here, and a
    // failure (which prints and exits) ends main with its code.
    started();
    emscripten_request_animation_frame_loop(
        options.benchFrames > 0 ? benchCallback : options.hook ? hookCallback : playCallback, nullptr);
    return 0;
}
