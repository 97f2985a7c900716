#pragma once
#include <cstdint>
#include <string>

#include "rgb_image.h"

// A 5 by 7 pixel bitmap font of the capture tool's own for contact sheet labels: digits,
// A to Z (lower case is drawn as upper case), space and . - : ( ) /. Other characters
// leave a blank cell.
inline constexpr int GlyphWidth = 5;   // pixels, before scaling
inline constexpr int GlyphHeight = 7;
inline constexpr int GlyphAdvance = 6;  // pixels from one character to the next

// Draws `text` with its top-left corner at (x, y), every font pixel a scale x scale block.
// Pixels outside the image are skipped.
void drawLabel(RgbImage& image, int x, int y, const std::string& text, int scale,
               const uint8_t colour[3]);
