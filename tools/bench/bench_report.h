#pragma once
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/show_rate.h"
#include "app/timeline.h"
#include "bench_stats.h"

namespace bench {

// Julia image times, ms per 128 x 128 image, averaged over the sweep's constants; NaN for
// an implementation this processor or build lacks.
struct JuliaTimes {
    int images = 0;              // images timed per implementation
    double scalarMs = 0;         // the scalar reference, renderJulia
    double portableMs = 0;       // fast path, one pixel at a time
    double sse2Ms = 0;           // fast path, 4 pixels
    double avx2Ms = 0;           // fast path, 8 pixels
    std::string fastLanes;       // lane set the show uses ("avx2", "sse2", "portable")
    double fastMs = 0;           // time of that lane set
};

// One scene's frames beside its pixel reference: the same fragment work (GL state, area,
// overdraw, primitive count) drawn with the fewest calls.
struct SceneResult {
    FrameStats frames;              // the scene's timed presents, each with its show frames
    double unseenFrameMs = NAN;     // median time of a show frame drawn without pixels, ms
    FrameStats reference;           // its reference frames (0 frames: not measured)
    double screensPerFrame = 0;     // area drawn per frame, in screens
    double primitivesPerFrame = 0;  // primitives drawn per frame
};

// The scene's time per frame over its reference's (reference fps / scene fps); NaN when
// either is missing.
double referenceRatio(const SceneResult& scene);
// The same for the CPU time per frame of all threads (steadier on a loaded machine).
double referenceCpuRatio(const SceneResult& scene);

// Everything one run measured.
// Seeks as the player makes them (app/seek.h): to every scene's start forward, then back,
// each the show frames before the target run again without pixels and the target drawn.
struct SeekTimes {
    int seeks = 0;            // seeks timed
    double p50Ms = 0;         // median time of a seek, ms
    double worstMs = 0;       // the longest, ms
    uint32_t worstToMs = 0;   // the clock value that seek went to, ms
};

struct BenchResult {
    int width = 0;               // frame size, pixels
    int height = 0;
    int framesPerScene = 0;
    uint32_t showRate = 0;       // show frames per second (0: one per present)
    uint32_t refreshHz = 0;      // presents per second
    FrameStats empty;            // glClear + glFinish
    FrameStats quad;             // one full-screen textured quad
    std::array<SceneResult, SceneCount> scenes;
    std::string renderer;        // GL_RENDERER of the offscreen context
    double startupMs = 0;        // process start to the end of the first frame, whole ms
    double contextMs = 0;        // process start to a current GL context (after the music,
                                 // when started), whole ms
    double prepareMs = 0;        // start-up loading (prepareShow), ms
    double firstFrameMs = 0;     // the first frame, glFinish included, ms
    bool dataComplete = false;   // every start-up texture got an id
    bool withMusic = false;      // the soundtrack was started before the display
    JuliaTimes julia;
    SeekTimes seeks;
    double peakRssMb = 0;        // peak resident memory, MiB
};

// The first frame's share of start-up split between our drawing and the driver's shader
// compiling: its drawing is taken as a steady opening frame (scene 0's median), the rest
// of it as compiling. NaN without timed opening frames.
struct StartupSplit {
    double ownMs = NAN;        // loading plus drawing the first frame
    double drawingMs = NAN;
    double compilingMs = NAN;
};
StartupSplit startupSplit(const BenchResult& result);

// Pictures a second the schedule asks the scenes for: one per refresh, or one per show
// frame on a display faster than the show rate.
double neededFps(const BenchResult& result);

// Whether a scene's presents keep up: they come at least as often as neededFps asks.
bool keepsUp(const SceneResult& scene, double needed);

// One size of a --sizes sweep: what the summary needs, plain data (it crosses a fork).
struct SweepRow {
    int width = 0;
    int height = 0;
    bool dataComplete = false;
    double neededFps = 0;
    std::array<SceneResult, SceneCount> scenes;
};

// The largest size (by pixel count) at which every scene keeps up, as "WxH"; empty when
// there is none.
std::string largestSizeKeepingUp(const std::vector<SweepRow>& rows);

// The sweep's summary: every scene's fps and time over its reference at each size, and the
// largest size above; as a table, or as the JSON members that follow the runs' reports in
// the sweep's object (no braces, no newline).
std::string formatSweepTable(const std::vector<SweepRow>& rows);
std::string formatSweepJson(const std::vector<SweepRow>& rows);

// One JSON object (no trailing newline); non-finite numbers become null.
std::string formatJson(const BenchResult& result);

// The human-readable table, lines ending in '\n'.
std::string formatTable(const BenchResult& result);

}  // namespace bench
