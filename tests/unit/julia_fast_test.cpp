#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scenes/julia.h"
#include "scenes/julia_fast.h"
#include "scenes/julia_sweep.h"
#include "scenes/warp_scenes.h"

namespace {

using Image = std::vector<uint8_t>;  // 128 x 128 RGBA

// The warp scenes' own scalar routine is the reference.
Image referenceJulia(float re, float im, float spanRe, float spanIm) {
    renderJulia(re, im, spanRe, spanIm);
    return Image(warpPixels.begin(), warpPixels.end());
}

std::vector<JuliaLanes> availableLanes() {
    std::vector<JuliaLanes> lanes;
    for (JuliaLanes l : {JuliaLanes::Portable, JuliaLanes::Sse2, JuliaLanes::Avx2})
        if (juliaLanesAvailable(l)) lanes.push_back(l);
    return lanes;
}

Image renderOn(JuliaLanes lanes, float re, float im) {
    Image image(128 * 128 * 4, 0xcd);  // garbage: every byte must be written
    renderJuliaOn(lanes, re, im, WarpSpanRe, WarpSpanIm, image.data());
    return image;
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
        const float re = still ? StillJuliaRe : sweep.re;
        const float im = still ? StillJuliaIm : sweep.im;
        const Image expected = referenceJulia(re, im, WarpSpanRe, WarpSpanIm);
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

TEST(JuliaFast, BestLaneSetIsAvailableAndUsedByTheFastEntry) {
    const JuliaLanes best = bestJuliaLanes();
    EXPECT_TRUE(juliaLanesAvailable(best));
    Image image(128 * 128 * 4, 0xcd);
    renderJuliaFast(0.3f, -0.5f, WarpSpanRe, WarpSpanIm, image.data());
    EXPECT_EQ(image, referenceJulia(0.3f, -0.5f, WarpSpanRe, WarpSpanIm));
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
