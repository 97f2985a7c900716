#pragma once
#include <string>
#include <vector>

// The command line of datagen: [--report] [--help] [DIR [FILE...]], options anywhere, "--"
// ending them. Without DIR nothing is written (--report alone only prints the report).
struct DatagenArguments {
    std::string outputDir;           // where to write; empty: write nothing
    std::vector<std::string> names;  // files to write; empty: all of them
    bool report = false;             // print the soundtrack's level and onset report
    bool help = false;
    std::string error;               // one line; empty when the arguments are good
};

DatagenArguments parseDatagenArguments(const std::vector<std::string>& args);

// The --help text.
std::string datagenUsage();
