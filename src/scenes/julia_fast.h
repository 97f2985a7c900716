#pragma once
#include <cstdint>

// The warp scenes' Julia image computed several pixels at a time. Every byte equals the
// single-precision scalar computation: the same float operations in the same order, one
// lane per pixel, no fused multiply-add.
//
// Output: 128 x 128 pixels, RGBA bytes, row 0 first, pixel (row, column) at byte
// (row * 128 + column) * 4. The real part of the start point runs along the rows
// ((row - 64) * spanRe / 64), the imaginary part along the columns; R = G = A = 0 and B
// encodes the escape step (0 for points that stay within 101 steps).

// Lane sets the fast path can run on.
enum class JuliaLanes {
    Portable,  // one pixel at a time, plain C++ (any processor)
    Sse2,      // 4 pixels (x86 only)
    Avx2,      // 8 pixels (x86 processors that report AVX2)
};

// Whether this build and this processor can run `lanes`.
bool juliaLanesAvailable(JuliaLanes lanes);
// The widest available lane set, decided once per process.
JuliaLanes bestJuliaLanes();
// "portable", "sse2" or "avx2".
const char* juliaLanesName(JuliaLanes lanes);

// Fills `rgba128x128` (65536 bytes) on the given lane set (one pixel at a time when the
// processor lacks it).
void renderJuliaOn(JuliaLanes lanes, float re, float im, float spanRe, float spanIm,
                   uint8_t* rgba128x128);

// Fills `rgba128x128` (65536 bytes) on the widest available lane set.
void renderJuliaFast(float re, float im, float spanRe, float spanIm, uint8_t* rgba128x128);
