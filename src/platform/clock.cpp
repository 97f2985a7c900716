#include "platform/clock.h"

#include <time.h>

namespace {

uint64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000u + uint64_t(ts.tv_nsec);
}

// Taken during static initialisation, before main runs: the closest we get to process start.
const uint64_t processStartNs = nowNs();

}  // namespace

uint32_t monotonicMs() {
    return uint32_t((nowNs() - processStartNs) / 1000000u);
}

uint64_t monotonicUs() { return (nowNs() - processStartNs) / 1000u; }
