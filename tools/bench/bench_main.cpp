// demo-bench: one simulated run through the show offscreen, timing every frame by scene,
// beside reference frames, the start-up time, the Julia image and the peak memory.
#include <GL/gl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "app/startup.h"
#include "bench_julia.h"
#include "bench_options.h"
#include "bench_plan.h"
#include "bench_report.h"
#include "platform/clock.h"
#include "platform/offscreen_gl.h"
#include "platform/process.h"
#include "texture/texture_names.h"
#include "texture/texture_sets.h"

namespace {

using Clock = std::chrono::steady_clock;

// Wall time of `draw` followed by glFinish, ms.
template <class Draw>
double timeFrame(Draw draw) {
    const auto start = Clock::now();
    draw();
    glFinish();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool startupTexturesLoaded() {
    for (const uint32_t id : pictureTextures)
        if (id == 0) return false;
    return cubeTexture != 0 && warpTexture != 0 && boxTexture != 0 && plateTexture != 0;
}

// Every scene of the timeline, `frames` frames each, grouped by the scene that drew them.
std::array<bench::FrameStats, SceneCount> runShow(int frames) {
    std::array<std::vector<double>, SceneCount> frameMs;
    for (auto& times : frameMs) times.reserve(size_t(frames));
    for (int scene = 0; scene < SceneCount; ++scene) {
        for (int frame = 0; frame < frames; ++frame) {
            const uint32_t now = bench::benchFrameClock(scene, frame, frames);
            setSimulatedClock(now);
            const double ms = timeFrame([now] { drawFrame(now); });
            const int32_t drawn = currentSceneIndex();
            if (drawn >= 0 && drawn < SceneCount) frameMs[size_t(drawn)].push_back(ms);
        }
    }
    std::array<bench::FrameStats, SceneCount> stats;
    for (size_t i = 0; i < stats.size(); ++i) stats[i] = bench::summarise(frameMs[i]);
    return stats;
}

// The least a frame costs: clear and finish.
bench::FrameStats timeEmptyFrames(int frames) {
    std::vector<double> frameMs;
    for (int i = 0; i < frames; ++i)
        frameMs.push_back(timeFrame([] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }));
    return bench::summarise(frameMs);
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
    std::vector<double> frameMs;
    for (int i = 0; i < frames; ++i) {
        frameMs.push_back(timeFrame([] {
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
    return bench::summarise(frameMs);
}

// Peak resident memory of the process, MiB (ru_maxrss is in KiB on Linux).
double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
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

    // Start-up in the show's order, measured from process start to the end of the first
    // frame (the simulated clock starts at 0 whatever start-up took).
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
        result.contextMs = monotonicMs();
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
    result.firstFrameMs = timeFrame([] { drawFrame(0); });
    result.startupMs = monotonicMs();
    result.dataComplete = startupTexturesLoaded();

    result.scenes = runShow(options.framesPerScene);
    // The references come after the show: their GL state changes cannot reach a scene.
    const int referenceFrames = std::max(options.framesPerScene, 60);
    result.empty = timeEmptyFrames(referenceFrames);
    result.quad = timeQuadFrames(referenceFrames, context->width(), context->height());
    result.julia = bench::timeJulia(options.juliaImages);
    result.peakRssMb = peakRssMb();

    const std::string report =
        options.json ? bench::formatJson(result) + "\n" : bench::formatTable(result);
    std::fputs(report.c_str(), stdout);
    return 0;
}
