#include "scenes/julia.h"

#include "render/scalar.h"

JuliaImage warpPixels{};

int juliaEscapeStep(float zRe, float zIm, float re, float im) {
    for (int n = 1; n <= JuliaMaxSteps; ++n) {
        const float newRe = zRe * zRe - zIm * zIm + re;
        const float newIm = 2.0f * zRe * zIm + im;
        zRe = newRe;
        zIm = newIm;
        if (sqrtFloat(newRe * newRe + newIm * newIm) > 100000.0f) return n;
    }
    return 0;
}

uint8_t juliaBlue(int n) {
    const auto value = int32_t(255.0 - double(n) * double(20.4f));
    return uint8_t(uint32_t(value) & 0xffu);
}

void renderJulia(float re, float im, float spanRe, float spanIm) {
    const float stepRe = spanRe * 0.0078125f;
    const float stepIm = spanIm * 0.0078125f;
    for (int row = 0; row < JuliaSize; ++row) {
        for (int column = 0; column < JuliaSize; ++column) {
            const float zRe = float(row - 64) * stepRe * 2.0f;
            const float zIm = float(column - 64) * stepIm * 2.0f;
            const int n = juliaEscapeStep(zRe, zIm, re, im);
            uint8_t* pixel = &warpPixels[std::size_t(row * JuliaSize + column) * 4];
            pixel[0] = 0;
            pixel[1] = 0;
            pixel[2] = n == 0 ? 0 : juliaBlue(n);
            pixel[3] = 0;
        }
    }
}
