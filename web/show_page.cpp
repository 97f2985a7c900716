// The show in a web page: the show's start-up path and frame, driven by the page's
// animation-frame callback instead of a loop. The page passes its arguments:
//   --size WxH        the canvas's drawing-buffer size (the "desktop"), pixels
//   --mute            no soundtrack
//   --seek MS         start by a seek to the show at MS (the frame demo-capture --at MS
//                     records, held until its music is heard), 0..90596
//   --loop-range A-B  play the section A..B (clock values, ms) again and again; without
//                     --seek the run starts at A
//   --at MS           the frame hook for tests: demo-capture's run with --at MS, the show
//   --show-rate R     frames at R per second (default 120) to the first one at or past MS,
//                     which is drawn and held; then document.title becomes "frame MS"
//   --bench N         demo-bench's run: the player's schedule at 60 Hz with N presents of
//                     every scene timed, each finished before the next; prints their rates
//                     as one line of JSON and sets document.title to "bench done"
// The page's control bar asks the transport for its moves and reads its state through the
// show_* functions at the end.
#include <GL/gl.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/audio_clock.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/option_values.h"
#include "app/shell.h"
#include "app/show_rate.h"
#include "app/startup.h"
#include "app/timeline.h"
#include "app/transport.h"
#include "bench_plan.h"
#include "bench_stats.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/web/page_bridge.h"

namespace {

struct PageOptions {
    int width = 1280;     // pixels
    int height = 720;     // pixels
    bool mute = false;
    std::optional<uint32_t> seekMs;  // clock value the run starts at by a seek, 0..ShowLengthMs
    std::optional<LoopRange> loop;   // section played again and again
    bool hook = false;    // --at given
    uint32_t atMs = 0;    // clock value of the held frame, 0..ShowLengthMs
    uint32_t showRate = DefaultShowRate;  // show frames per second of the hook's run, 1..1000
    int benchFrames = 0;  // frames per scene of a benchmark run; 0: none
};

constexpr int MaxSide = 8192;  // pixels

// What the value of the option `name` must be, for the page's message about an address it
// cannot read.
std::string wantedValue(const std::string& name) {
    const std::string length = std::to_string(ShowLengthMs);
    if (name == "--seek") return "a clock value in ms, 0 to " + length;
    if (name == "--loop-range") return "FROM-TO, clock values in ms with FROM < TO <= " + length;
    return "an option of the page";
}

// One option with a value into `options`; false when the value cannot be read or the
// option is not known.
bool readPageOption(const std::string& name, const std::string& value, PageOptions& options) {
    uint64_t number = 0, to = 0;
    if (name == "--size") return parseSizeValue(value, 1, MaxSide, options.width, options.height);
    if (name == "--seek") {
        if (!parseWholeNumber(value, 0, ShowLengthMs, number)) return false;
        options.seekMs = uint32_t(number);
        return true;
    }
    if (name == "--loop-range") {
        if (!parseRangeValue(value, 0, ShowLengthMs, number, to)) return false;
        options.loop = LoopRange{uint32_t(number), uint32_t(to)};
        return true;
    }
    if (name == "--at") {
        if (!parseWholeNumber(value, 0, ShowLengthMs, number)) return false;
        options.atMs = uint32_t(number);
        options.hook = true;
        return true;
    }
    if (name == "--show-rate") {
        if (!parseWholeNumber(value, 1, MaxShowRate, number)) return false;
        options.showRate = uint32_t(number);
        return true;
    }
    if (name == "--bench") {
        if (!parseWholeNumber(value, 1, 100000, number)) return false;
        options.benchFrames = int(number);
        return true;
    }
    return false;
}

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
        if (!readPageOption(name, value, options)) {
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

struct HookRun {
    TickDriver ticks;   // the run's show frames, every one run (a simulated clock)
    uint32_t atMs = 0;
    uint64_t held = 0;  // index of the show frame that is drawn and held
};
HookRun hookRun;

struct BenchRun {
    std::vector<bench::BenchPresent> plan;  // demo-bench's schedule at 60 Hz
    size_t next = 0;                        // index of the next present in the plan
    TickDriver ticks;                       // the show frames at the show rate
    std::array<std::vector<double>, SceneCount> presentMs;  // timed presents by scene
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

// The show as the window player runs it: at each animation frame the show frames due at
// the show clock, the newest drawn; nothing when none is due (a display faster than the
// show rate). The browser presents the canvas when the callback returns.
EM_BOOL playCallback(double, void*) {
    if (!started()) return EM_TRUE;
    playFrame();
    if (!isQuitRequested()) return EM_TRUE;
    // The page's keys are the page's again (Enter on its "play again" button among them).
    emscripten_html5_remove_all_event_listeners();
    pageShowEnded();
    return EM_FALSE;
}

// demo-capture's --at run: the show frames up to the held one, only that one with pixels.
EM_BOOL hookCallback(double, void*) {
    if (!started()) return EM_TRUE;
    const double until = emscripten_get_now() + BatchMs;
    TickDriver& ticks = hookRun.ticks;
    uint32_t now = 0;
    while (ticks.next <= hookRun.held) {
        const bool last = ticks.next == hookRun.held;
        now = frameClock(ticks.show, ticks.next);
        setSimulatedClock(now);
        runDueFrames(ticks, now, last ? FramePixels::Drawn : FramePixels::None);
        if (last) swapBuffers(displayDeviceContext());
        if (ticks.next <= hookRun.held && emscripten_get_now() > until) break;
    }
    reportGlErrors(now);
    if (ticks.next <= hookRun.held) return EM_TRUE;
    pageTitle(("frame " + std::to_string(hookRun.atMs)).c_str());
    return EM_FALSE;
}

// The benchmark as demo-bench runs it: the player's schedule on a 60 Hz display, a few
// presents of every scene timed from start to finish, the others run without pixels.
// WebGL's finish does not wait for the drawing; reading a pixel back does.
EM_BOOL benchCallback(double, void*) {
    if (!started()) return EM_TRUE;
    const double until = emscripten_get_now() + BatchMs;
    while (benchRun.next < benchRun.plan.size() && emscripten_get_now() < until) {
        const bench::BenchPresent& present = benchRun.plan[benchRun.next++];
        setSimulatedClock(present.clockMs);
        if (present.timedScene < 0) {
            runDueFrames(benchRun.ticks, present.clockMs, FramePixels::None);
            continue;
        }
        const double start = emscripten_get_now();
        if (runDueFrames(benchRun.ticks, present.clockMs).count == 0) continue;
        swapBuffers(displayDeviceContext());
        uint8_t pixel[4];
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        if (currentSceneIndex() == present.timedScene)
            benchRun.presentMs[size_t(present.timedScene)].push_back(emscripten_get_now() - start);
    }
    if (benchRun.next < benchRun.plan.size()) return EM_TRUE;
    std::string json = "{\"scenes\": [";
    for (size_t i = 0; i < benchRun.presentMs.size(); ++i) {
        const bench::FrameStats stats = bench::summarise(benchRun.presentMs[i]);
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
        benchRun.plan = bench::benchPlan(60, options.benchFrames, -1);
        benchRun.ticks.show = {0, DefaultShowRate};
        benchRun.ticks.stallMs = NeverStall;
    } else if (options.hook) {
        // As demo-capture from clock value 0: show frame k at k * 1000 / R. An MS past the
        // last show frame of the show holds that frame.
        hookRun.ticks.show = {0, options.showRate};
        hookRun.ticks.stallMs = NeverStall;
        hookRun.atMs = options.atMs;
        const uint64_t lastInShow = framesThrough(hookRun.ticks.show, ShowLengthMs) - 1;
        hookRun.held = std::min(firstFrameAtOrPast(hookRun.ticks.show, options.atMs), lastInShow);
    } else {
        // A section to loop starts at its start, unless a seek says where.
        if (options.loop) setLoopRange(*options.loop);
        if (!options.seekMs && options.loop) options.seekMs = options.loop->fromMs;
        if (options.seekMs) requestTransport({TransportAction::SeekTo, *options.seekMs});
    }
    // The page has decoded the soundtrack by now, so start-up normally finishes here, and a
    // failure (which prints and exits) ends main with its code. A start by a seek is carried
    // out here too: the page's player starts the music at the next animation frame from the
    // last place asked for by then, so nothing of clock value 0 is heard.
    if (started() && options.seekMs && !simulated) applyTransport();
    emscripten_request_animation_frame_loop(
        options.benchFrames > 0 ? benchCallback : options.hook ? hookCallback : playCallback, nullptr);
    return 0;
}

// The page's control bar: its requests, the transport's state and the show's scenes. A
// request replaces one not yet carried out (a seek bar dragged between two frames). The
// texts are JSON, valid until the next call of the same function.

extern "C" EMSCRIPTEN_KEEPALIVE void show_toggle_pause() {
    requestTransport({TransportAction::TogglePause, 0});
}

extern "C" EMSCRIPTEN_KEEPALIVE void show_seek_to(uint32_t ms) {
    requestTransport({TransportAction::SeekTo, ms});
}

// The shown frame (its index on the whole run's grid, its clock value in ms, its scene
// 0..9), the presents so far, paused, the loop, whether a transport request was made within
// the last StatusLineMs (the bar shows that long after one), and the window player's status
// line for all that.
extern "C" EMSCRIPTEN_KEEPALIVE const char* show_state() {
    static std::string json;
    const ShownFrame shown = shownFrame();
    const TransportState& state = transportState();
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\"frame\": %llu, \"clockMs\": %u, \"scene\": %d, \"presents\": %llu, \"paused\": %s, "
                  "\"looping\": %s, \"loopFromMs\": %u, \"loopToMs\": %u, \"requested\": %s, \"text\": ",
                  static_cast<unsigned long long>(shown.index), unsigned(shown.clockMs),
                  int(std::clamp(shown.scene, 0, SceneCount - 1)),
                  static_cast<unsigned long long>(playStats().presents), state.paused ? "true" : "false",
                  state.looping ? "true" : "false", unsigned(state.loop.fromMs), unsigned(state.loop.toMs),
                  statusLineShown(monotonicMs()) ? "true" : "false");
    // The line holds digits, letters, blanks, '.' and '-' only: nothing to escape.
    json = std::string(text) + "\"" + statusLineText(state, shown) + "\"}";
    return json.c_str();
}

// The show's length and its scenes in order: name, first and last clock value (ms); and how
// long the bar shows after a request (ms).
extern "C" EMSCRIPTEN_KEEPALIVE const char* show_timeline() {
    static std::string json;
    json = "{\"lengthMs\": " + std::to_string(ShowLengthMs) + ", \"shownForMs\": " +
           std::to_string(StatusLineMs) + ", \"scenes\": [";
    for (int32_t scene = 0; scene < SceneCount; ++scene) {
        json += std::string(scene == 0 ? "" : ", ") + "{\"name\": \"" + SceneNames[size_t(scene)] +
                "\", \"startMs\": " + std::to_string(sceneStartMs(scene)) +
                ", \"endMs\": " + std::to_string(sceneEndMs(scene)) + "}";
    }
    json += "]}";
    return json.c_str();
}

// Empty when `value` is a good value of the option `name` (the page asks before the run,
// for what the address says); else what the option wants.
extern "C" EMSCRIPTEN_KEEPALIVE const char* show_check_option(const char* name, const char* value) {
    static std::string wanted;
    PageOptions options;
    wanted = readPageOption(name, value, options) ? "" : wantedValue(name);
    return wanted.c_str();
}
