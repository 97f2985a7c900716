#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scenes/julia_fast.h"

#if __has_include("scenes/julia.h")
#include "scenes/julia.h"
#include "scenes/julia_sweep.h"
#define HAVE_SCALAR_JULIA 1
#endif

namespace {

using Image = std::vector<uint8_t>;  // 128 x 128 RGBA

constexpr float SpanRe = 2.0f;
constexpr float SpanIm = 1.5f;

#ifdef HAVE_SCALAR_JULIA
// The warp scenes' own scalar routine is the reference.
Image referenceJulia(float re, float im, float spanRe, float spanIm) {
    renderJulia(re, im, spanRe, spanIm);
    return Image(warpPixels.begin(), warpPixels.end());
}
#else
// Until the warp scenes' scalar routine is in the tree: a one-pixel-at-a-time reference
// written straight from the image's definition, and the sweep's moves.
Image referenceJulia(float re, float im, float spanRe, float spanIm) {
    Image image(128 * 128 * 4, 0);
    const float stepRe = spanRe * 0.0078125f;
    const float stepIm = spanIm * 0.0078125f;
    for (int row = 0; row < 128; ++row) {
        for (int column = 0; column < 128; ++column) {
            float zRe = float(row - 64) * stepRe * 2.0f;
            float zIm = float(column - 64) * stepIm * 2.0f;
            int escapedAt = 0;
            for (int n = 1; n <= 101; ++n) {
                const float newRe = zRe * zRe - zIm * zIm + re;
                const float newIm = 2.0f * zRe * zIm + im;
                zRe = newRe;
                zIm = newIm;
                if (std::sqrt(newRe * newRe + newIm * newIm) > 100000.0f) {
                    escapedAt = n;
                    break;
                }
            }
            if (escapedAt != 0)
                image[size_t(row * 128 + column) * 4 + 2] =
                    uint8_t(int32_t(255.0 - double(escapedAt) * double(20.4f)));
        }
    }
    return image;
}

struct JuliaSweep {
    float re = 2.0f;
    float im = -2.0f;
    bool reRising = false;
    bool imRising = true;
};

void moveJuliaConstant(JuliaSweep& s) {
    s.re = s.reRising ? s.re + 0.025f : s.re - 0.025f;
    s.im = s.imRising ? s.im + 0.015f : s.im - 0.03f;
    if (s.re > 2.0f) s.reRising = false;
    else if (s.re < -2.0f) s.reRising = true;
    if (s.im > 2.0f) s.imRising = false;
    else if (s.im < -2.9f) s.imRising = true;
}
#endif

std::vector<JuliaLanes> availableLanes() {
    std::vector<JuliaLanes> lanes;
    for (JuliaLanes l : {JuliaLanes::Portable, JuliaLanes::Sse2, JuliaLanes::Avx2})
        if (juliaLanesAvailable(l)) lanes.push_back(l);
    return lanes;
}

Image renderOn(JuliaLanes lanes, float re, float im) {
    Image image(128 * 128 * 4, 0xcd);  // garbage: every byte must be written
    renderJuliaOn(lanes, re, im, SpanRe, SpanIm, image.data());
    return image;
}

uint8_t blueAt(const Image& image, int row, int column) {
    return image[size_t(row * 128 + column) * 4 + 2];
}

// Reports the first differing pixel instead of 65536 byte failures.
void expectSameImage(const Image& expected, const Image& actual, const char* lanes, int frame) {
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] != actual[i]) {
            ADD_FAILURE() << lanes << ", constant " << frame << ": pixel (row "
                          << i / 4 / 128 << ", column " << i / 4 % 128 << ") byte " << i % 4
                          << " is " << int(actual[i]) << ", expected " << int(expected[i]);
            return;
        }
    }
}

}  // namespace

TEST(JuliaFast, EveryLaneSetMatchesTheReferenceOverTheSweepAndTheStillConstant) {
    const std::vector<JuliaLanes> lanes = availableLanes();
    JuliaSweep sweep;
    bool reTurned = false, imTurned = false;
    for (int frame = 0; frame <= 1000; ++frame) {
        // Frames 0..999 are the sweep's first 1000 constants; the last is the still scene's.
        const bool still = frame == 1000;
        const float re = still ? -0.824f : sweep.re;
        const float im = still ? -0.1711f : sweep.im;
        const Image expected = referenceJulia(re, im, SpanRe, SpanIm);
        for (JuliaLanes l : lanes) expectSameImage(expected, renderOn(l, re, im), juliaLanesName(l), frame);
        if (HasFailure()) return;
        moveJuliaConstant(sweep);
        reTurned = reTurned || sweep.reRising;
        imTurned = imTurned || !sweep.imRising;
    }
    // The 1000 constants cover both turns of the real part and the imaginary part's turn.
    EXPECT_TRUE(reTurned);
    EXPECT_TRUE(imTurned);
}

TEST(JuliaFast, KnownPixelsFixOrientationAndBlueBands) {
    for (JuliaLanes l : availableLanes()) {
        SCOPED_TRACE(juliaLanesName(l));
        // Constant 0: z = 0 and z = 1 never escape; z = 33/32 on the real axis (row 97)
        // escapes at step 9, while the same distance on the imaginary axis (column 97) is
        // 0.77 and stays.
        const Image zero = renderOn(l, 0.0f, 0.0f);
        EXPECT_EQ(blueAt(zero, 64, 64), 0);
        EXPECT_EQ(blueAt(zero, 96, 64), 0);
        EXPECT_EQ(blueAt(zero, 97, 64), 71);
        EXPECT_EQ(blueAt(zero, 64, 97), 0);
        // z = -2 escapes at step 5, z = (-2, -1.5) at step 4.
        EXPECT_EQ(blueAt(zero, 0, 64), 153);
        EXPECT_EQ(blueAt(zero, 0, 0), 173);
        // A huge constant: every point escapes at the first step.
        const Image huge = renderOn(l, 200000.0f, 0.0f);
        for (size_t i = 0; i < huge.size(); i += 4) {
            ASSERT_EQ(huge[i], 0);
            ASSERT_EQ(huge[i + 1], 0);
            ASSERT_EQ(huge[i + 2], 234);
            ASSERT_EQ(huge[i + 3], 0);
        }
    }
}

TEST(JuliaFast, BestLaneSetIsAvailableAndUsedByTheFastEntry) {
    const JuliaLanes best = bestJuliaLanes();
    EXPECT_TRUE(juliaLanesAvailable(best));
    Image image(128 * 128 * 4, 0xcd);
    renderJuliaFast(-0.824f, -0.1711f, SpanRe, SpanIm, image.data());
    EXPECT_EQ(image, referenceJulia(-0.824f, -0.1711f, SpanRe, SpanIm));
}

TEST(JuliaFast, SquaredMagnitudeAgainst1e10DecidesLikeTheSquareRootAgainst1e5) {
    // The lanes test s > 1e10 where the definition tests sqrtf(s) > 100000.
    float s = 1e10f;
    for (int i = 0; i < 1000000; ++i) s = std::nextafter(s, 0.0f);
    for (int i = 0; i < 2000000; ++i, s = std::nextafter(s, INFINITY))
        ASSERT_EQ(std::sqrt(s) > 100000.0f, s > 1e10f) << s;
    for (const float edge : {0.0f, 1.0f, 3.4e38f, INFINITY, NAN})
        EXPECT_EQ(std::sqrt(edge) > 100000.0f, edge > 1e10f) << edge;
}
