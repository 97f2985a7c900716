#pragma once
// Builds TGA files byte by byte for the tests (and brings the scratch working directory).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scratch_dir.h"

namespace testdata {

using Bytes = std::vector<uint8_t>;

// The 18-byte header: image type, size and depth; every other field zero unless given.
inline Bytes tgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t bits,
                       uint8_t descriptor = 0) {
    return {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            uint8_t(width & 0xFF), uint8_t(width >> 8), uint8_t(height & 0xFF), uint8_t(height >> 8),
            bits, descriptor};
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An uncompressed 32-bit image of one colour (given as R, G, B, A).
inline Bytes solidTga(uint16_t width, uint16_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    Bytes file = tgaHeader(2, width, height, 32);
    for (int i = 0; i < width * height; ++i) file.insert(file.end(), {b, g, r, a});
    return file;
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path().empty()
                                            ? std::filesystem::path(".")
                                            : std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace testdata
