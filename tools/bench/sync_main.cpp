// demo-sync: how far the soundtrack heard is from the show's clock at every beat of the
// beat lists, on the real sound layer (SDL's dummy driver unless SDL_AUDIODRIVER is set).
// Run from a directory holding data/. No window: the clock is polled about every ms.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <algorithm>

#include "app/audio_clock.h"
#include "app/music.h"
#include "app/shell.h"
#include "app/timeline.h"
#include "platform/clock.h"
#include "scenes/flash_beats.h"
#include "sync_report.h"

int main(int argc, char** argv) {
    uint32_t untilMs = ShowLengthMs;
    bool follow = true, json = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-follow") == 0) {
            follow = false;
        } else if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strncmp(argv[i], "--until=", 8) == 0) {
            untilMs = uint32_t(std::strtoul(argv[i] + 8, nullptr, 10));
        } else {
            std::fprintf(stderr, "usage: demo-sync [--until=MS] [--no-follow] [--json]\n"
                                 "  --no-follow  plain wall clock instead of the music-following clock\n");
            return 2;
        }
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (follow) setClockSource(&showClockMs);

    std::vector<uint32_t> beats(FlashBeats.begin(), FlashBeats.end());
    beats.insert(beats.end(), PictureBeats.begin(), PictureBeats.end());
    std::sort(beats.begin(), beats.end());

    startMusic();
    std::vector<bench::SyncSample> samples;
    size_t next = 0;
    for (uint32_t now = clockMs(); now <= untilMs && next < beats.size(); now = clockMs()) {
        while (next < beats.size() && beats[next] <= now) {
            const std::optional<double> heard = musicHeardMs(monotonicUs());
            if (heard) samples.push_back({beats[next], now, *heard});
            ++next;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::fputs(bench::formatSyncReport(samples, follow ? "music-following" : "wall", json).c_str(),
               stdout);
    return 0;
}
