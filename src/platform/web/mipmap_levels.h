#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The mipmap chain that GLU's gluBuild2DMipmaps builds from an image whose sides are
// powers of two: each level halves both sides (a side of 1 stays 1), averaging 2x2 texels
// per component with rounding, (a + b + c + d + 2) / 4, or two texels, (a + b) / 2, once one
// side is 1. Pixels are tightly packed rows of `components` bytes each.
struct MipLevel {
    int width = 0;   // texels
    int height = 0;  // texels
    std::vector<uint8_t> pixels;
};

// Level 0 (a copy of `pixels`) down to 1x1. Empty when a side is not a power of two.
std::vector<MipLevel> boxFilterMipmaps(const uint8_t* pixels, int width, int height, int components);
