#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/timeline.h"
#include "rgb_image.h"

// The contact sheet: one labelled thumbnail per scene, plus the particle text once formed.

struct SheetShot {
    uint32_t clockMs;              // the first frame at or past this clock value is used
    Scene scene;                   // the scene it shows
    const char* detail = nullptr;  // said instead of the scene's name
};

// Representative moments, ascending. The particle text is complete at 47500 ms only when
// the run has more than about 91 frames per second (its glide is counted in frames).
inline constexpr std::array<SheetShot, 11> SheetShots = {{
    {11000, Scene::Opening},
    {21000, Scene::StartPicture},
    {28000, Scene::WarpSweep},
    {35000, Scene::Particles, "particles drift"},
    {47500, Scene::Particles, "particle text"},
    {55000, Scene::BeatPictures},
    {64000, Scene::WarpStill},
    {70000, Scene::Slideshow},
    {75000, Scene::Greetings},
    {80000, Scene::Lumenkarp},
    {86000, Scene::ClosingCube},
}};

// "3 particle text": the scene's number, then the detail or the scene's name.
std::string sheetShotLabel(const SheetShot& shot);

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
