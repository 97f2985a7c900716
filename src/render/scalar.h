#pragma once
#include <cstdint>

// Single-precision sine of a whole number of degrees (radians factor 0.01745328f).
float sinDegrees(int32_t degrees);
// Single-precision square root.
float sqrtFloat(float x);
