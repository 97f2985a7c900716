#pragma once
#include <array>
#include <cstdint>

// The warp scenes' Julia-set image: 128 x 128 pixels, RGBA bytes, row 0 first; pixel
// (row, column) at byte (row * 128 + column) * 4. Only blue is ever non-zero.
inline constexpr int JuliaSize = 128;
inline constexpr int JuliaMaxSteps = 101;
using JuliaImage = std::array<uint8_t, JuliaSize * JuliaSize * 4>;

// Process-wide image buffer of both warp scenes, rewritten completely by renderJulia.
extern JuliaImage warpPixels;

// Fills warpPixels with the Julia set of the constant (re, im). The real part of the start
// point runs along the rows, (row - 64) * spanRe / 64, the imaginary part along the
// columns. All arithmetic is single precision, each operation rounded to float.
void renderJulia(float re, float im, float spanRe, float spanIm);

// Step (1..101) at which the point (zRe, zIm) escapes (magnitude > 100000) under
// z -> z^2 + (re, im), or 0 when it stays within 101 steps.
int juliaEscapeStep(float zRe, float zIm, float re, float im);

// Blue byte of a point that escaped at step n (1..101): the low 8 bits of
// trunc(255 - n * 20.4f), in double, not clamped (wraps from n = 13 on: the bands).
uint8_t juliaBlue(int n);
