#include <emscripten/emscripten.h>

#include "platform/clock.h"
#include "platform_web/page_bridge.h"

namespace {

// The page's high-resolution time (performance.now(), ms) when this instance of the show
// started: each run of the page's show is a fresh instance, so this is its process start.
const double processStartMs = emscripten_get_now();

double elapsedMs() {
    const double elapsed = emscripten_get_now() - processStartMs;
    return elapsed > 0 ? elapsed : 0;
}

}  // namespace

uint32_t monotonicMs() { return uint32_t(uint64_t(elapsedMs())); }

uint64_t monotonicUs() { return uint64_t(elapsedMs() * 1000.0); }

double pageTimeOfProcessStartMs() { return processStartMs; }
