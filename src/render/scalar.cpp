#include "render/scalar.h"

#include <cmath>

float sinDegrees(int32_t degrees) {
    const float radians = float(degrees) * 0.01745328f;
    return float(std::sin(double(radians)));
}

float sqrtFloat(float x) { return std::sqrt(x); }
