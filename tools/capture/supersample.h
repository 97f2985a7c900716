#pragma once
#include <cstdint>

// Supersampling: a frame drawn at n times the output's width and height is brought down to
// the output size by averaging each n x n block of samples into one pixel (a box filter,
// rounded to the nearest value). Rows keep their order, so GL's bottom-up rows stay so.

// `source`: RGBA, (width * n) x (height * n); `target`: RGBA, width x height. n is 1..4.
void boxFilterDown(const uint8_t* source, int width, int height, int n, uint8_t* target);
