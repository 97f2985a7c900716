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
                   arg == "--scene" || arg == "--sizes") {
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
           "                  [--julia N] [--dir DIR] [--music] [--json]\n"
           "Renders every scene of the show offscreen with a simulated clock, one run through\n"
           "the timeline, and prints frame rates and frame times per scene, each beside its\n"
           "pixel reference (the same fragment work drawn with the fewest calls, timed right\n"
           "after the scene), two fixed references (an empty frame, one full-screen textured\n"
           "quad), the start-up time, the Julia image's time per frame and the peak memory.\n"
           "  --size WxH   frame size in pixels (default 1920x1080)\n"
           "  --sizes LIST one run at each size of a comma-separated list, each in a fresh\n"
           "               process, then every scene's frame rate by size and the largest\n"
           "               size at which every scene keeps the rate the particle text needs\n"
           "  --frames N   timed frames per scene and per reference (default 300)\n"
           "  --scene N    time only scene N (0..9); the others draw one frame each, untimed\n"
           "  --julia N    Julia images timed per implementation (default 500)\n"
           "  --dir DIR    working directory that holds data/ (default: the current one;\n"
           "               without data/ there, the data beside the program, as for demo)\n"
           "  --music      start the soundtrack first, as the show does (SDL_AUDIODRIVER\n"
           "               defaults to dummy)\n"
           "  --json       print one JSON object instead of the table\n";
}

}  // namespace bench
