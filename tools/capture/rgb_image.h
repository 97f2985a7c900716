#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// An 8-bit RGB image in memory, rows top to bottom, 3 bytes per pixel.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height * 3 bytes

    RgbImage() = default;
    RgbImage(int w, int h, uint8_t r, uint8_t g, uint8_t b);
    uint8_t* at(int x, int y) { return &pixels[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
    const uint8_t* at(int x, int y) const {
        return &pixels[(size_t(y) * size_t(width) + size_t(x)) * 3];
    }
};
