#include "bench_julia.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "scenes/julia.h"
#include "scenes/julia_fast.h"
#include "scenes/julia_sweep.h"
#include "scenes/warp_scenes.h"

namespace bench {

namespace {

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
            renderJuliaOn(lanes, re, im, WarpSpanRe, WarpSpanIm, image.data());
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
    times.scalarMs =
        timeSweep(images, [](float re, float im) { renderJulia(re, im, WarpSpanRe, WarpSpanIm); });
    return times;
}

}  // namespace bench
