#include "bench_options.h"

#include <cstdint>

#include "app/option_values.h"

namespace bench {

namespace {

// Whole decimal number within [low, high].
bool parseInt(const std::string& text, int low, int high, int& value) {
    uint64_t parsed = 0;
    if (!parseWholeNumber(text, uint64_t(low), uint64_t(high), parsed)) return false;
    value = int(parsed);
    return true;
}

}  // namespace

ParsedBenchOptions parseBenchOptions(const std::vector<std::string>& args) {
    ParsedBenchOptions result;
    BenchOptions& o = result.options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--json") {
            o.json = true;
        } else if (arg == "--music") {
            o.music = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--size" || arg == "--frames" || arg == "--julia" || arg == "--dir" ||
                   arg == "--scene") {
            if (!hasValue) {
                result.error = arg + " needs a value";
                return result;
            }
            const std::string& value = args[++i];
            bool good = true;
            if (arg == "--size") {
                good = parseSizeValue(value, 1, 16384, o.width, o.height);
            } else if (arg == "--frames") {
                good = parseInt(value, 1, 1000000, o.framesPerScene);
            } else if (arg == "--julia") {
                good = parseInt(value, 1, 1000000, o.juliaImages);
            } else if (arg == "--scene") {
                good = parseInt(value, 0, 9, o.onlyScene);
            } else {
                good = !value.empty();
                o.directory = value;
            }
            if (!good) {
                result.error = "bad value for " + arg + ": '" + value + "'";
                return result;
            }
        } else {
            result.error = "unknown option '" + arg + "'";
            return result;
        }
    }
    return result;
}

std::string benchUsage() {
    return "usage: demo-bench [--size WxH] [--frames N] [--scene N] [--julia N] [--dir DIR]\n"
           "                  [--music] [--json]\n"
           "Renders every scene of the show offscreen with a simulated clock, one run through\n"
           "the timeline, and prints frame rates and frame times per scene, each beside its\n"
           "pixel reference (the same fragment work drawn with the fewest calls, timed right\n"
           "after the scene), two fixed references (an empty frame, one full-screen textured\n"
           "quad), the start-up time, the Julia image's time per frame and the peak memory.\n"
           "  --size WxH   frame size in pixels (default 1920x1080)\n"
           "  --frames N   timed frames per scene and per reference (default 300)\n"
           "  --scene N    time only scene N (0..9); the others draw one frame each, untimed\n"
           "  --julia N    Julia images timed per implementation (default 500)\n"
           "  --dir DIR    working directory that holds data/ (default: the current one)\n"
           "  --music      start the soundtrack first, as the show does (SDL_AUDIODRIVER\n"
           "               defaults to dummy)\n"
           "  --json       print one JSON object instead of the table\n";
}

}  // namespace bench
