#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "scenes/julia.h"
#include "scenes/julia_sweep.h"

namespace {

uint8_t blueAt(int row, int column) {
    return warpPixels[std::size_t(row * JuliaSize + column) * 4 + 2];
}

}  // namespace

TEST(Julia, BlueBandsWrapWithTheFloatFactor) {
    const std::pair<int, int> expected[] = {
        {1, 234}, {2, 214},  {3, 193},  {4, 173},  {5, 153},   {6, 132},   {7, 112},
        {8, 91},  {9, 71},   {10, 51},  {11, 30},  {12, 10},   {13, 246},  {14, 226},
        {15, 206}, {20, 104}, {25, 2},  {26, 237}, {101, 243}};
    for (auto [n, blue] : expected) EXPECT_EQ(juliaBlue(n), blue) << "n = " << n;
}

TEST(Julia, CentrePixelStartsAtZero) {
    // From z = 0 with c = (2, -2): (2,-2), (2,-10), (-94,-42), (7074,7894), then beyond 1e5.
    renderJulia(2.0f, -2.0f, 2.0f, 1.5f);
    EXPECT_EQ(juliaEscapeStep(0, 0, 2.0f, -2.0f), 5);
    EXPECT_EQ(blueAt(64, 64), juliaBlue(5));
    // c = (-0.824, -0.1711) lies in the period-2 bulb: 0 never escapes, the pixel is black.
    renderJulia(-0.824f, -0.1711f, 2.0f, 1.5f);
    for (int byte = 0; byte < 4; ++byte) {
        EXPECT_EQ(warpPixels[std::size_t(64 * JuliaSize + 64) * 4 + byte], 0);
    }
}

TEST(Julia, RealAxisRunsAlongRowsAndEveryByteButBlueIsZero) {
    // A huge constant makes every point escape at step 1.
    renderJulia(1.0e6f, 0.0f, 2.0f, 1.5f);
    for (std::size_t i = 0; i < warpPixels.size(); i += 4) {
        ASSERT_EQ(warpPixels[i], 0);
        ASSERT_EQ(warpPixels[i + 1], 0);
        ASSERT_EQ(warpPixels[i + 2], 234) << "pixel " << i / 4;
        ASSERT_EQ(warpPixels[i + 3], 0);
    }
    // Start points: zRe = (row - 64) / 32 along rows, zIm = (column - 64) * 0.0234375.
    renderJulia(-0.4f, 0.6f, 2.0f, 1.5f);
    for (auto [row, column] : {std::pair{0, 0}, {10, 100}, {100, 10}, {127, 127}, {64, 90}}) {
        const int n = juliaEscapeStep(float(row - 64) / 32.0f, float(column - 64) * 0.0234375f,
                                      -0.4f, 0.6f);
        EXPECT_EQ(blueAt(row, column), n == 0 ? 0 : juliaBlue(n)) << row << "," << column;
    }
    // The image is not symmetric under swapping rows and columns.
    int differing = 0;
    for (int r = 0; r < JuliaSize; ++r)
        for (int c = 0; c < JuliaSize; ++c) differing += blueAt(r, c) != blueAt(c, r);
    EXPECT_GT(differing, 1000);
}

TEST(JuliaSweep, TurnsJustPastItsBounds) {
    JuliaSweep sweep;
    std::vector<std::pair<int, float>> reTurns, imTurns;
    for (int update = 1; update <= 450; ++update) {
        const JuliaSweep before = sweep;
        moveJuliaConstant(sweep);
        if (sweep.reRising != before.reRising) reTurns.emplace_back(update, sweep.re);
        if (sweep.imRising != before.imRising) imTurns.emplace_back(update, sweep.im);
    }
    ASSERT_EQ(reTurns.size(), 2u);
    EXPECT_EQ(reTurns[0].first, 161);
    EXPECT_NEAR(reTurns[0].second, -2.025f, 1e-3f);
    EXPECT_EQ(reTurns[1].first, 323);
    EXPECT_NEAR(reTurns[1].second, 2.025f, 1e-3f);
    ASSERT_EQ(imTurns.size(), 2u);
    EXPECT_EQ(imTurns[0].first, 267);
    EXPECT_NEAR(imTurns[0].second, 2.005f, 1e-3f);
    EXPECT_EQ(imTurns[1].first, 431);
    EXPECT_NEAR(imTurns[1].second, -2.915f, 1e-3f);
}
