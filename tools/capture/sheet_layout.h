#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rgb_image.h"

// The contact sheet: one labelled thumbnail per scene, plus the particle text once formed.

struct SheetShot {
    uint32_t clockMs;   // the first frame at or past this clock value is used
    const char* label;  // scene number and name
};

// Representative moments, ascending. The particle text is complete at 47500 ms only when
// the run has more than about 91 frames per second (its glide is counted in frames).
inline constexpr std::array<SheetShot, 11> SheetShots = {{
    {11000, "0 opening cube"},
    {21000, "1 start picture"},
    {28000, "2 warp sweep"},
    {35000, "3 particles drift"},
    {47500, "3 particle text"},
    {55000, "4 picture beats"},
    {64000, "5 warp still"},
    {70000, "6 slideshow"},
    {75000, "7 greetings"},
    {80000, "8 lumenkarp"},
    {86000, "9 closing cube"},
}};

inline constexpr int SheetThumbWidth = 320;  // pixels
inline constexpr int SheetColumns = 4;

// Shrinks an RGBA image (rows top to bottom) to width x height by averaging the source
// pixels each target pixel covers (area filter, exact for whole-number ratios).
RgbImage scaleDown(const uint8_t* rgba, int sourceWidth, int sourceHeight, int width, int height);

// Thumbnail height for a frame of the given size at SheetThumbWidth (at least 1).
int thumbHeight(int frameWidth, int frameHeight);

struct SheetTile {
    RgbImage thumb;
    std::string label;
};

// Lays the tiles out in rows of SheetColumns on a dark background, each with its label
// underneath. All thumbnails have the same size.
RgbImage composeSheet(const std::vector<SheetTile>& tiles);
