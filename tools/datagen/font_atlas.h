#pragma once
#include "image.h"

#include <string>

// The text font: a 256 x 256 image of 16 x 16 cells, white with coverage in alpha. Codes
// 32..127 sit in grid rows 0..5 (row = code / 16 - 2, column = code % 16); the oblique
// alternate set sits 8 rows further down. Every glyph keeps a 1-pixel empty border inside its
// cell, so linear filtering never pulls a neighbour's edge into view.
inline constexpr int FontCell = 16;       // pixels per cell side
inline constexpr int FontImageSize = 256; // pixels per image side
Image makeFontImage();

// The font definition table naming the image, with its spacing (overlay units).
std::string makeFontTable();
