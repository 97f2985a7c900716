#include "platform/watchdog.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

constexpr auto Tick = std::chrono::milliseconds(100);
constexpr int TicksPerSecond = 10;

// Shared with the watching thread; never freed (the thread is detached).
struct Watch {
    std::mutex mutex;
    const char* step = nullptr;  // null: nothing watched
    int seconds = 0;             // the step's bound
    std::atomic<uint64_t> progress{0};
};

Watch* watch = nullptr;

[[noreturn]] void giveUp(const char* step, int seconds) {
    std::printf("Error: %s did not finish within %d s\n", step, seconds);
    std::fflush(stdout);
    _exit(1);
}

void watchLoop(Watch* w) {
    uint64_t seen = w->progress.load();
    int idleTicks = 0;
    for (;;) {
        std::this_thread::sleep_for(Tick);
        const uint64_t now = w->progress.load();
        const std::lock_guard lock(w->mutex);
        if (now != seen || w->step == nullptr) {
            seen = now;
            idleTicks = 0;
            continue;
        }
        if (++idleTicks >= w->seconds * TicksPerSecond) giveUp(w->step, w->seconds);
    }
}

}  // namespace

void watchStep(const char* step, int seconds) {
    if (watch == nullptr) {
        watch = new Watch;
        try {
            std::thread(watchLoop, watch).detach();
        } catch (const std::system_error&) {
            // No thread: the run goes on unwatched.
        }
    }
    {
        const std::lock_guard lock(watch->mutex);
        watch->step = step;
        watch->seconds = std::clamp(seconds, 1, 3600);
    }
    watchProgress();
}

void watchProgress() {
    if (watch != nullptr) watch->progress.fetch_add(1, std::memory_order_relaxed);
}

void watchNothing() {
    if (watch == nullptr) return;
    const std::lock_guard lock(watch->mutex);
    watch->step = nullptr;
}
