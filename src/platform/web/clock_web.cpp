#include <emscripten/emscripten.h>

#include "platform/clock.h"
#include "platform/web/page_bridge.h"

namespace {

// The page's time (performance.now(), ms) when the run started. The page makes its program
// instance ahead of the run, while the start screen waits, so the clock starts with the run
// (startRunClock) rather than with the instance.
double runStartMs = emscripten_get_now();

double elapsedMs() {
    const double elapsed = emscripten_get_now() - runStartMs;
    return elapsed > 0 ? elapsed : 0;
}

}  // namespace

void startRunClock() { runStartMs = emscripten_get_now(); }

uint32_t monotonicMs() { return uint32_t(uint64_t(elapsedMs())); }

uint64_t monotonicUs() { return uint64_t(elapsedMs() * 1000.0); }
