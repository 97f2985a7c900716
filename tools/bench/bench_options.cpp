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

// Comma-separated WxH sizes, at least one.
bool parseSizeList(const std::string& text, std::vector<FrameSize>& sizes) {
    sizes.clear();
    size_t begin = 0;
    while (true) {
        const size_t comma = text.find(',', begin);
        FrameSize size;
        if (!parseSizeValue(text.substr(begin, comma - begin), 1, 16384, size.width, size.height))
            return false;
        sizes.push_back(size);
        if (comma == std::string::npos) return true;
        begin = comma + 1;
    }
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
                   arg == "--scene" || arg == "--sizes" || arg == "--show-rate" ||
                   arg == "--refresh") {
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
            } else if (arg == "--show-rate") {
                int rate = 0;
                good = parseInt(value, 0, int(MaxShowRate), rate);
                o.showRate = uint32_t(rate);
            } else if (arg == "--refresh") {
                int hz = 0;
                good = parseInt(value, 1, 1000, hz);
                o.refreshHz = uint32_t(hz);
            } else if (arg == "--julia") {
                good = parseInt(value, 1, 1000000, o.juliaImages);
            } else if (arg == "--sizes") {
                good = parseSizeList(value, o.sizes);
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
    return "usage: demo-bench [--size WxH | --sizes WxH,WxH...] [--frames N] [--scene N]\n"
           "                  [--show-rate R] [--refresh HZ] [--julia N] [--dir DIR] [--music]\n"
           "                  [--json]\n"
           "Runs the show offscreen on the player's schedule with a simulated clock: show frames\n"
           "at the show rate, a display presenting the newest of them at each refresh, the show\n"
           "frames between two presents drawn without pixels. Prints, per scene, the presents it\n"
           "manages a second (each with its show frames) and whether that keeps up with the\n"
           "pictures the schedule asks for, beside the scene's pixel reference (the same\n"
           "fragment work drawn with the fewest calls, timed right after the scene); two fixed\n"
           "references (an empty frame, one full-screen textured quad), the start-up time, the\n"
           "Julia image's time per frame and the peak memory.\n"
           "  --size WxH     frame size in pixels (default 1920x1080)\n"
           "  --sizes LIST   one run at each size of a comma-separated list, each in a fresh\n"
           "                 process, then every scene's presents a second by size and the\n"
           "                 largest size at which every scene keeps up\n"
           "  --frames N     timed presents per scene and frames per reference (default 300;\n"
           "                 a short scene has fewer presents)\n"
           "  --scene N      time only scene N (0..9); the others run untimed\n"
           "  --show-rate R  show frames per second (default 120; 0: one per present, the\n"
           "                 original's loop)\n"
           "  --refresh HZ   the display's presents per second (default 60)\n"
           "  --julia N      Julia images timed per implementation (default 500)\n"
           "  --dir DIR      working directory that holds data/ (default: the current one;\n"
           "                 without data/ there, the data beside the program, as for demo)\n"
           "  --music        start the soundtrack first, as the show does (SDL_AUDIODRIVER\n"
           "                 defaults to dummy)\n"
           "  --json         print one JSON object instead of the table\n";
}

}  // namespace bench
