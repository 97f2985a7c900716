#include "bench_julia.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "scenes/julia_fast.h"

// The scalar reference and the sweep come from the warp scenes; builds without them time
// the fast path's one-pixel lanes (the same scalar arithmetic) and move the constant here.
#if __has_include("scenes/julia.h")
#include "scenes/julia.h"
#include "scenes/julia_sweep.h"
#define BENCH_HAS_RENDER_JULIA 1
#else
namespace {
struct JuliaSweep {
    float re = 2.0f;
    float im = -2.0f;
    bool reRising = false;
    bool imRising = true;
};
void moveJuliaConstant(JuliaSweep& s) {
    s.re = s.reRising ? s.re + 0.025f : s.re - 0.025f;
    s.im = s.imRising ? s.im + 0.015f : s.im - 0.03f;
    if (s.re > 2.0f) s.reRising = false;
    else if (s.re < -2.0f) s.reRising = true;
    if (s.im > 2.0f) s.imRising = false;
    else if (s.im < -2.9f) s.imRising = true;
}
}  // namespace
#endif

namespace bench {

namespace {

constexpr float SpanRe = 2.0f;  // the warp scenes' spans
constexpr float SpanIm = 1.5f;

// Passes over the sweep per implementation; the fastest counts, so that a pass slowed by
// other processes on the machine does not.
constexpr int Passes = 3;

// Mean ms per image of `render(re, im)` over the first `images` constants of the sweep.
template <class Render>
double timeSweep(int images, Render render) {
    double best = INFINITY;
    for (int pass = 0; pass < Passes; ++pass) {
        JuliaSweep sweep;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < images; ++i) {
            render(sweep.re, sweep.im);
            moveJuliaConstant(sweep);
        }
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count() / images);
    }
    return best;
}

}  // namespace

JuliaTimes timeJulia(int images) {
    JuliaTimes times;
    times.images = images;
    std::vector<uint8_t> image(128 * 128 * 4);
    const auto timeLanes = [&](JuliaLanes lanes) {
        if (!juliaLanesAvailable(lanes)) return double(NAN);
        return timeSweep(images, [&](float re, float im) {
            renderJuliaOn(lanes, re, im, SpanRe, SpanIm, image.data());
        });
    };
    times.portableMs = timeLanes(JuliaLanes::Portable);
    times.sse2Ms = timeLanes(JuliaLanes::Sse2);
    times.avx2Ms = timeLanes(JuliaLanes::Avx2);
    const JuliaLanes best = bestJuliaLanes();
    times.fastLanes = juliaLanesName(best);
    times.fastMs = best == JuliaLanes::Avx2   ? times.avx2Ms
                   : best == JuliaLanes::Sse2 ? times.sse2Ms
                                              : times.portableMs;
#ifdef BENCH_HAS_RENDER_JULIA
    times.scalarSource = "renderJulia";
    times.scalarMs = timeSweep(images, [](float re, float im) { renderJulia(re, im, SpanRe, SpanIm); });
#else
    times.scalarSource = "portable lanes";
    times.scalarMs = times.portableMs;
#endif
    return times;
}

}  // namespace bench
