// demo-bench: one simulated run through the show offscreen, timing every frame by scene,
// beside reference frames, the start-up time, the Julia image and the peak memory.
#include <GL/gl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "app/seek.h"
#include "app/startup.h"
#include "bench_julia.h"
#include "bench_options.h"
#include "bench_plan.h"
#include "bench_report.h"
#include "pixel_work.h"
#include "reference_frame.h"
#include "scene_survey.h"
#include "platform/clock.h"
#include "platform/offscreen_gl.h"
#include "platform/process.h"
#include "scenes/particle_scene.h"
#include "texture/texture_names.h"
#include "texture/texture_sets.h"

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of the whole process (the driver rasterizes on threads of its own), ms.
double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

// Wall and CPU time of `draw` followed by glFinish, ms.
struct FrameTime {
    double wallMs = 0, cpuMs = 0;
};
template <class Draw>
FrameTime timeDraw(Draw draw) {
    const double cpuStart = processCpuMs();
    const auto start = Clock::now();
    draw();
    glFinish();
    const double wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return {wallMs, processCpuMs() - cpuStart};
}

// The times of a group of frames.
struct FrameTimes {
    std::vector<double> wallMs, cpuMs;

    void add(const FrameTime& t) {
        wallMs.push_back(t.wallMs);
        cpuMs.push_back(t.cpuMs);
    }
    bench::FrameStats stats() const { return bench::summarise(wallMs, cpuMs); }
};

bool startupTexturesLoaded() {
    for (const uint32_t id : pictureTextures)
        if (id == 0) return false;
    return cubeTexture != 0 && warpTexture != 0 && boxTexture != 0 && plateTexture != 0;
}

// The whole show on the player's schedule (bench_plan.h): the timed presents of every scene,
// each the show frames due at it (all but the last without pixels, the last with pixels and
// glFinish), followed by as many frames of the scene's pixel reference, so that both are
// timed under the same load. The presents in between run without pixels, untimed.
std::array<bench::SceneResult, SceneCount> runShow(const bench::BenchOptions& options, int width,
                                                   int height) {
    TickDriver ticks;
    ticks.show = {0, options.showRate};
    ticks.stallMs = NeverStall;
    const std::vector<bench::BenchPresent> plan =
        bench::benchPlan(options.refreshHz, options.framesPerScene, options.onlyScene);
    std::array<size_t, SceneCount> lastTimed{};  // index in the plan of each scene's last timed present
    for (size_t i = 0; i < plan.size(); ++i)
        if (plan[i].timedScene >= 0) lastTimed[size_t(plan[i].timedScene)] = i;
    std::array<FrameTimes, SceneCount> presentTimes;
    std::array<std::vector<double>, SceneCount> unseenMs;  // per show frame without pixels
    std::array<bench::ScenePixels, SceneCount> pixels;
    std::array<bench::SceneResult, SceneCount> results;
    for (size_t i = 0; i < plan.size(); ++i) {
        const bench::BenchPresent& present = plan[i];
        setSimulatedClock(present.clockMs);
        if (present.timedScene < 0) {
            runDueFrames(ticks, present.clockMs, FramePixels::None);
            continue;
        }
        const auto scene = size_t(present.timedScene);
        const DueFrames due = takeDueFrames(ticks, present.clockMs);
        if (due.count > 0) {  // none: a display faster than the show rate shows nothing new
            const double cpuStart = processCpuMs();
            const auto start = Clock::now();
            for (uint64_t k = due.first; k + 1 < due.first + due.count; ++k)
                drawFrame(dueFrameClock(ticks, k, present.clockMs), FramePixels::None);
            const double unseen = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            // The particles are drawn where they stand before the seen frame moves them.
            const double particleScreens =
                scene == size_t(Scene::Particles) ? bench::particleScreens(particleCloud()) : 0;
            const uint32_t now = dueFrameClock(ticks, due.first + due.count - 1, present.clockMs);
            drawFrame(now);
            glFinish();
            if (currentSceneIndex() == present.timedScene) {
                presentTimes[scene].add(
                    {std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
                     processCpuMs() - cpuStart});
                if (due.count > 1) unseenMs[scene].push_back(unseen / double(due.count - 1));
                bench::surveyFrame(present.timedScene, now, particleScreens, pixels[scene]);
            }
        }
        if (i != lastTimed[scene]) continue;
        bench::SceneResult& result = results[scene];
        result.frames = presentTimes[scene].stats();
        if (result.frames.frames == 0) continue;
        result.unseenFrameMs = bench::summarise(unseenMs[scene]).p50Ms;
        result.screensPerFrame = pixels[scene].screensPerFrame();
        result.primitivesPerFrame = pixels[scene].primitivesPerFrame();
        const bench::ReferencePlan reference = bench::planReference(pixels[scene], width, height);
        FrameTimes referenceTimes;
        for (int frame = 0; frame < result.frames.frames; ++frame)
            referenceTimes.add(timeDraw([&] { bench::drawReferenceFrame(reference, width, height); }));
        result.reference = referenceTimes.stats();
    }
    return results;
}

// Seeks to every scene's start in order, then back in reverse, as the player's 0 to 9 keys
// make them: the show frames before the target run unseen, the target drawn and finished.
bench::SeekTimes timeSeeks(uint32_t showRate) {
    std::vector<int32_t> order;
    for (int32_t scene = 0; scene < SceneCount; ++scene) order.push_back(scene);
    for (int32_t scene = SceneCount - 1; scene >= 0; --scene) order.push_back(scene);
    bench::SeekTimes times;
    std::vector<double> ms;
    for (const int32_t scene : order) {
        const uint32_t to = sceneStartMs(scene);
        const uint64_t frame = showFrameAt(showRate, to);
        const double took = timeDraw([&] {
            rewindShowTo(frame, showRate);
            drawFrame(showRate == UncappedShowRate ? to : frameClock(wholeRunSchedule(showRate), frame));
        }).wallMs;
        ms.push_back(took);
        if (took > times.worstMs) {
            times.worstMs = took;
            times.worstToMs = to;
        }
    }
    times.seeks = int(ms.size());
    times.p50Ms = bench::percentile(ms, 50);
    return times;
}

// The least a frame costs: clear and finish.
bench::FrameStats timeEmptyFrames(int frames) {
    FrameTimes times;
    for (int i = 0; i < frames; ++i)
        times.add(timeDraw([] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }));
    return times.stats();
}

// The least a picture scene draws: clear, then one full-screen quad with a 512 x 512 RGBA
// texture (linear filters, modulated by opaque white), identity matrices, no blending.
bench::FrameStats timeQuadFrames(int frames, int width, int height) {
    constexpr int Side = 512;  // texels
    std::vector<uint8_t> texels(size_t(Side) * Side * 4);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint8_t(i * 7 + i / 2048);
    const uint32_t texture = reserveOwnTextureName();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, Side, Side, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    for (const GLenum capability : {GL_BLEND, GL_FOG, GL_DEPTH_TEST, GL_LIGHTING, GL_CULL_FACE,
                                    GL_ALPHA_TEST, GL_SCISSOR_TEST})
        glDisable(capability);
    glViewport(0, 0, width, height);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    FrameTimes times;
    for (int i = 0; i < frames; ++i) {
        times.add(timeDraw([] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2f(-1, -1);
            glTexCoord2f(1, 0);
            glVertex2f(1, -1);
            glTexCoord2f(1, 1);
            glVertex2f(1, 1);
            glTexCoord2f(0, 1);
            glVertex2f(-1, 1);
            glEnd();
        }));
    }
    glDeleteTextures(1, &texture);
    return times.stats();
}

// Peak resident memory of the process, MiB (ru_maxrss is in KiB on Linux).
double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// One run at the options' size: prints its report (a JSON object without a newline, or the
// table) and, for a sweep, fills `row`. Returns the exit status.
int runBench(const bench::BenchOptions& options, uint32_t runStartMs, bench::SweepRow* row) {
    // Start-up in the show's order, measured from `runStartMs` (process start, or the fork of
    // a sweep's run) to the end of the first frame (the simulated clock starts at 0 whatever
    // start-up took).
    bench::BenchResult result;
    result.width = options.width;
    result.height = options.height;
    result.framesPerScene = options.framesPerScene;
    result.withMusic = options.music;
    if (options.music) setenv("SDL_AUDIODRIVER", "dummy", 0);
    StartupSettings settings;
    settings.clock = RunClock::Simulated;
    settings.music = options.music;
    std::string error;
    std::unique_ptr<OffscreenContext> context;
    Clock::time_point surfaceReady;
    const bool started = startShow(settings, [&] {
        context = OffscreenContext::create(options.width, options.height, error);
        result.contextMs = monotonicMs() - runStartMs;
        surfaceReady = Clock::now();
        return context != nullptr;
    });
    if (!started) {
        std::fprintf(stderr, "demo-bench: %s\n", error.c_str());
        return 1;
    }
    glFinish();  // the preparation's uploads are done
    result.prepareMs = std::chrono::duration<double, std::milli>(Clock::now() - surfaceReady).count();
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    result.renderer = renderer != nullptr ? renderer : "";
    result.firstFrameMs = timeDraw([] { drawFrame(0); }).wallMs;
    result.startupMs = monotonicMs() - runStartMs;
    result.dataComplete = startupTexturesLoaded();

    result.showRate = options.showRate;
    result.refreshHz = options.refreshHz;
    result.scenes = runShow(options, context->width(), context->height());
    // The fixed references come after the show.
    const int referenceFrames = std::max(options.framesPerScene, 60);
    result.empty = timeEmptyFrames(referenceFrames);
    result.quad = timeQuadFrames(referenceFrames, context->width(), context->height());
    result.seeks = timeSeeks(options.showRate);
    result.julia = bench::timeJulia(options.juliaImages);
    result.peakRssMb = peakRssMb();

    const std::string report =
        options.json ? bench::formatJson(result) : bench::formatTable(result);
    std::fputs(report.c_str(), stdout);
    if (row != nullptr)
        *row = {options.width, options.height, result.dataComplete, bench::neededFps(result), result.scenes};
    return 0;
}

// Every size of --sizes in a process of its own (forked before any GL or thread exists, so
// that each starts the show afresh), one after the other; their reports, then the summary.
int runSweep(const bench::BenchOptions& options) {
    std::vector<bench::SweepRow> rows;
    if (options.json) std::fputs("{\"sizes\": [", stdout);
    for (size_t i = 0; i < options.sizes.size(); ++i) {
        if (options.json && i > 0) std::fputs(", ", stdout);
        std::fflush(stdout);
        void* shared = mmap(nullptr, sizeof(bench::SweepRow), PROT_READ | PROT_WRITE,
                            MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (shared == MAP_FAILED) return std::perror("demo-bench: mmap"), 1;
        auto* row = new (shared) bench::SweepRow{};
        bench::BenchOptions one = options;
        one.width = options.sizes[i].width;
        one.height = options.sizes[i].height;
        const uint32_t forkMs = monotonicMs();
        const pid_t child = fork();
        if (child == 0) {
            const int status = runBench(one, forkMs, row);
            std::fflush(stdout);
            _exit(status);
        }
        int status = -1;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "demo-bench: the run at %dx%d failed\n", one.width, one.height);
            return 1;
        }
        if (!options.json) std::fputs("\n", stdout);
        rows.push_back(*row);
        munmap(shared, sizeof(bench::SweepRow));
    }
    const std::string summary =
        options.json ? "], " + bench::formatSweepJson(rows) + "}\n" : bench::formatSweepTable(rows);
    std::fputs(summary.c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bench::ParsedBenchOptions parsed =
        bench::parseBenchOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "demo-bench: %s\n%s", parsed.error.c_str(), bench::benchUsage().c_str());
        return 2;
    }
    const bench::BenchOptions& options = parsed.options;
    if (options.help) {
        std::fputs(bench::benchUsage().c_str(), stdout);
        return 0;
    }
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) {
        std::fprintf(stderr, "demo-bench: cannot enter '%s'\n", options.directory.c_str());
        return 1;
    }
    // Like demo (a build tree's data; the benchmark is not installed): without the show's
    // data every scene would draw next to nothing, quickly.
    std::string searched;
    const std::string root = findDataRoot(dataRootCandidates(executableDirectory(), "", ""), searched);
    if (root.empty() || (root != "." && !enterDirectory(root))) {
        std::fprintf(stderr, "demo-bench: no show data found (looked in %s)\n",
                     root.empty() ? searched.c_str() : root.c_str());
        return 1;
    }

    if (!options.sizes.empty()) return runSweep(options);
    const int status = runBench(options, 0, nullptr);
    if (options.json) std::fputs("\n", stdout);
    return status;
}
