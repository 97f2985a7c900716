#pragma once
#include <cstdint>
#include <string>

#include "font/tiny_font.h"
#include "rgb_image.h"

// Draws `text` in the tiny font with its top-left corner at (x, y), every font pixel a
// scale x scale block. Pixels outside the image are skipped.
void drawLabel(RgbImage& image, int x, int y, const std::string& text, int scale,
               const uint8_t colour[3]);
