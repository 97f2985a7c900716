// demo-sync: how far the soundtrack heard is from the show's clock at every beat of the
// beat lists, on the real sound layer (SDL's dummy driver unless SDL_AUDIODRIVER is set).
// Run from a directory holding data/. No window: the clock is polled about every ms.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <algorithm>

#include "app/audio_clock.h"
#include "app/music.h"
#include "app/option_values.h"
#include "app/shell.h"
#include "app/timeline.h"
#include "platform/clock.h"
#include "scenes/flash_beats.h"
#include "sync_report.h"

namespace {

constexpr const char* Usage =
    "usage: demo-sync [--until MS] [--no-follow] [--json]\n"
    "  --until MS   stop at clock value MS (0..90596; default 90596)\n"
    "  --no-follow  plain wall clock instead of the music-following clock\n"
    "  --json       print one JSON object instead of the table\n";

}  // namespace

int main(int argc, char** argv) {
    uint32_t untilMs = ShowLengthMs;
    bool follow = true, json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool untilGiven = arg == "--until" || arg.starts_with("--until=");
        std::string value = arg.starts_with("--until=") ? arg.substr(8) : "";
        if (arg == "--until" && i + 1 < argc) value = argv[++i];
        uint64_t ms = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == "--no-follow") {
            follow = false;
        } else if (arg == "--json") {
            json = true;
        } else if (untilGiven && parseWholeNumber(value, 0, 90596, ms)) {
            untilMs = uint32_t(ms);
        } else {
            std::fprintf(stderr, "demo-sync: %s '%s'\n%s",
                         untilGiven ? "--until wants ms from 0 to 90596, not" : "unknown option",
                         untilGiven ? value.c_str() : arg.c_str(), Usage);
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
