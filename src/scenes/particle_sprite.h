#pragma once
#include <array>
#include <cstdint>

// The particle sprite: 16 x 16 RGBA, white wherever alpha is above 0, alpha falling off
// radially and mirror-symmetric: alpha(r, c) = alpha(15 - r, c) = alpha(r, 15 - c).
inline constexpr int SpriteSize = 16;
using SpriteImage = std::array<uint8_t, SpriteSize * SpriteSize * 4>;

// Alpha of the top-left quadrant (rows 0..7, columns 0..7); the rest follows by mirroring.
inline constexpr uint8_t SpriteQuadrant[8][8] = {
    {0, 0, 0, 0, 0, 6, 12, 12},
    {0, 0, 0, 6, 12, 23, 34, 40},
    {0, 0, 6, 21, 40, 58, 73, 82},
    {0, 6, 21, 45, 73, 104, 128, 142},
    {0, 12, 40, 73, 116, 158, 189, 203},
    {6, 23, 58, 104, 158, 203, 230, 241},
    {12, 34, 73, 128, 189, 230, 249, 253},
    {12, 40, 82, 142, 203, 241, 253, 255},
};

// The whole sprite image, row 0 first.
SpriteImage makeParticleSprite();
