// datagen <output-dir> [file ...]: writes the show's data files (all, or the named ones).
#include "data_files.h"
#include "soundtrack.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: datagen <output-dir> [--report] [file ...]\n");
        return 2;
    }
    std::vector<std::string> names;
    bool report = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--report") == 0) report = true;
        else names.emplace_back(argv[i]);
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        generateFiles(argv[1], names, 2);
        if (report) std::fputs(soundtrackReport(renderSoundtrack()).c_str(), stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "datagen: %s\n", e.what());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("datagen: wrote %s in %.2f s\n", argv[1], seconds);
    return 0;
}
