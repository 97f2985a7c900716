#pragma once
#include <string>
#include <vector>

#include "app/show_rate.h"

namespace bench {

struct FrameSize {
    int width = 0;   // pixels
    int height = 0;
};

// What one demo-bench run is asked to do, read from its command line.
struct BenchOptions {
    int width = 1920;           // offscreen frame size, pixels, 1..16384
    int height = 1080;
    int framesPerScene = 300;   // timed presents per scene, 1..1000000
    uint32_t showRate = DefaultShowRate;  // show frames per second of show clock, 0..1000
                                          // (0: one show frame per present)
    uint32_t refreshHz = 60;    // presents per second of show clock, 1..1000
    int juliaImages = 500;      // Julia images timed per lane set, 1..1000000
    int onlyScene = -1;         // 0..9: time only this scene (the others draw one frame
                                // each, untimed); -1: every scene
    std::vector<FrameSize> sizes;  // --sizes: one run at each size, in this order
    bool json = false;          // one JSON object instead of the table
    bool music = false;         // start the soundtrack first, as the show does
    std::string directory;      // working directory holding data/ ("" = the current one)
    bool help = false;
};

struct ParsedBenchOptions {
    BenchOptions options;
    std::string error;  // one line without the program name; empty when the options are good
};

// Reads and checks the arguments after the program name.
ParsedBenchOptions parseBenchOptions(const std::vector<std::string>& args);

// The --help text.
std::string benchUsage();

}  // namespace bench
