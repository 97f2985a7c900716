// datagen [--report] [DIR [FILE...]]: writes the show's data files (all, or the named ones).
#include "data_files.h"
#include "datagen_options.h"
#include "soundtrack.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const DatagenArguments args = parseDatagenArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (args.help) {
        std::fputs(datagenUsage().c_str(), stdout);
        return 0;
    }
    if (!args.error.empty()) {
        std::fprintf(stderr, "datagen: %s\n%s", args.error.c_str(), datagenUsage().c_str());
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        if (!args.outputDir.empty()) generateFiles(args.outputDir, args.names, 2);
        if (args.report) std::fputs(soundtrackReport(renderSoundtrack()).c_str(), stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "datagen: %s\n", e.what());
        return 1;
    }
    if (args.outputDir.empty()) return 0;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("datagen: wrote %s in %.2f s\n", args.outputDir.c_str(), seconds);
    return 0;
}
