// demo-sync: how far the soundtrack heard is from the show's clock at every beat of the
// beat lists, on the real sound layer (SDL's dummy driver unless SDL_AUDIODRIVER is set).
// Run from a directory holding data/. No window: the clock is polled about every ms.
// With --measure DIR it measures instead what a recording of the real show's screen and
// sound output in DIR shows (see sync_recording.h), against data/music.mp3; the exit
// status is 0 when every beat is within the goals and 1 when not.
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
#include "platform/sound.h"
#include "scenes/flash_beats.h"
#include "sync_recording.h"
#include "sync_report.h"

namespace {

constexpr const char* Usage =
    "usage: demo-sync [--until MS] [--no-follow] [--json]\n"
    "       demo-sync --measure DIR [--start MS] [--json]\n"
    "  --until MS     stop at clock value MS (0..90596; default 90596)\n"
    "  --no-follow    plain wall clock instead of the music-following clock\n"
    "  --json         print one JSON object instead of the table\n"
    "  --measure DIR  the offsets in a recording of the show run from --start MS\n"
    "                 (0..90596; default 0), made by tests/sync/measure-sync.sh\n";

int measureRecording(const std::string& directory, uint32_t startMs, bool json) {
    bench::Recording recording;
    recording.startMs = startMs;
    const std::string error = bench::readRecording(directory, recording);
    if (!error.empty()) {
        std::fprintf(stderr, "demo-sync: %s\n", error.c_str());
        return 2;
    }
    if (sound::decodeFile("data/music.mp3", int(recording.rate), recording.soundtrack) != sound::NoError) {
        std::fprintf(stderr, "demo-sync: cannot decode data/music.mp3\n");
        return 2;
    }
    const bench::Measurement measurement = bench::measureSync(recording);
    std::fputs(bench::formatMeasurement(measurement, json).c_str(), stdout);
    return bench::missedGoals(measurement).empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t untilMs = ShowLengthMs, startMs = 0;
    bool follow = true, json = false;
    std::string measureDirectory;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // Options with a value take it after '=' or as the next argument.
        const std::string name = arg.substr(0, arg.find('='));
        const bool valued = name == "--until" || name == "--start" || name == "--measure";
        std::string value = arg.size() > name.size() ? arg.substr(name.size() + 1) : "";
        if (valued && arg == name && i + 1 < argc) value = argv[++i];
        uint64_t ms = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == "--no-follow") {
            follow = false;
        } else if (arg == "--json") {
            json = true;
        } else if (name == "--measure" && !value.empty()) {
            measureDirectory = value;
        } else if ((name == "--until" || name == "--start") && parseWholeNumber(value, 0, ShowLengthMs, ms)) {
            (name == "--until" ? untilMs : startMs) = uint32_t(ms);
        } else {
            std::fprintf(stderr, "demo-sync: %s '%s'\n%s",
                         valued ? (name + " wants a value, or ms from 0 to 90596, not").c_str()
                                : "unknown option",
                         valued ? value.c_str() : arg.c_str(), Usage);
            return 2;
        }
    }
    if (!measureDirectory.empty()) return measureRecording(measureDirectory, startMs, json);
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
