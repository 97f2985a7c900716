#include "datagen_options.h"

DatagenArguments parseDatagenArguments(const std::vector<std::string>& args) {
    DatagenArguments result;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            result.help = true;
        } else if (!optionsEnded && arg == "--report") {
            result.report = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            result.error = "unknown option '" + arg + "'";
            return result;
        } else if (result.outputDir.empty()) {
            result.outputDir = arg;
        } else {
            result.names.push_back(arg);
        }
    }
    if (result.outputDir.empty() && !result.report && !result.help)
        result.error = "no output directory given";
    return result;
}

std::string datagenUsage() {
    return "usage: datagen [--report] [DIR [FILE...]]\n"
           "Writes the show's data files (all, or the named ones) into DIR.\n"
           "  --report  print the soundtrack's level and beat-onset report (without DIR:\n"
           "            only the report, nothing is written)\n"
           "  --help    print this text\n"
           "  --        end of options (for a DIR that starts with '-')\n";
}
