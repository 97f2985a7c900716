#pragma once
#include <array>

#include "image.h"

// The sizes (pixels, square) the desktop icon is rendered at: the hicolor theme's usual
// bitmap sizes, from menus (16) to software centres (128, 256).
inline constexpr std::array<int, 6> IconSizes{16, 32, 48, 64, 128, 256};

// The show's icon at `size` x `size` pixels: the cube of the opening and closing scenes
// seen corner-on, its walls in the riveted metal texture and its lid in the blue caustics
// with the plate emblem, on a transparent background (alpha is the cube's coverage).
Image makeIcon(int size);
