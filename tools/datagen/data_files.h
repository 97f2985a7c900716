#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One file of the data directory and how to make its bytes.
struct DataFile {
    std::string name;  // file name inside data/, e.g. "1.tga"
    std::function<std::vector<uint8_t>()> make;
};

// Every file the show reads, slowest first so two workers finish close together.
const std::vector<DataFile>& dataFiles();

// Writes the named files (all of them when `names` is empty) into `outDir`, creating it,
// on `workers` threads. Each file's bytes depend only on the generator, never on timing or
// on which worker made it. Throws on an unknown name or a write failure.
void generateFiles(const std::string& outDir, const std::vector<std::string>& names, int workers);
