#include <gtest/gtest.h>

#include "progress.h"
#include "sheet_layout.h"
#include "tiny_font.h"

TEST(CaptureSheet, ScalingAveragesTheCoveredPixels) {
    // 4x2 RGBA: left half red 0 and 100, right half 200 and 255 (alpha ignored).
    const std::vector<uint8_t> rgba = {
        0,   1, 0, 255, 100, 3, 0, 255, 200, 5, 0, 255, 255, 7, 0, 255,
        100, 1, 0, 255, 0,   3, 0, 255, 200, 5, 0, 255, 255, 7, 0, 255,
    };
    const RgbImage half = scaleDown(rgba.data(), 4, 2, 2, 1);
    ASSERT_EQ(half.pixels.size(), 6u);
    EXPECT_EQ(half.at(0, 0)[0], 50);
    EXPECT_EQ(half.at(0, 0)[1], 2);
    EXPECT_EQ(half.at(1, 0)[0], 228);  // (200 + 255 + 200 + 255) / 4, rounded
    // A ratio that is not a whole number still reads every row and column once.
    std::vector<uint8_t> ramp(5 * 3 * 4);
    for (size_t i = 0; i < ramp.size(); i += 4) ramp[i] = uint8_t(i / 4 % 5 * 50);
    const RgbImage odd = scaleDown(ramp.data(), 5, 3, 2, 2);
    EXPECT_EQ(odd.at(0, 0)[0], 25);   // columns 0 and 1
    EXPECT_EQ(odd.at(1, 1)[0], 150);  // columns 2 to 4
}

TEST(CaptureSheet, TilesAreLaidOutWithTheirLabels) {
    std::vector<SheetTile> tiles;
    for (int i = 0; i < 5; ++i) tiles.push_back({RgbImage(32, 18, 0, 0, uint8_t(40 * i)), "A"});
    const RgbImage sheet = composeSheet(tiles);
    const int tileWidth = (sheet.width - 8) / SheetColumns;
    EXPECT_EQ(sheet.width, 8 + SheetColumns * (32 + 8));
    ASSERT_EQ(tileWidth, 40);
    const int rowHeight = (sheet.height - 8) / 2;
    EXPECT_EQ(sheet.at(8 + 3 * tileWidth + 5, 8 + 5)[2], 120);  // fourth tile, first row
    EXPECT_EQ(sheet.at(8 + 5, 8 + rowHeight + 5)[2], 160);      // fifth tile, second row
    // The label "A" is lit under each thumbnail (the apex: font column 2 of row 0, drawn
    // twice the size) and the label's second row is open in the middle.
    EXPECT_EQ(sheet.at(8 + 4, 8 + 18 + 4)[0], 230);
    EXPECT_EQ(sheet.at(8 + 3 * tileWidth + 5, 8 + 18 + 4 + 1)[0], 230);
    EXPECT_EQ(sheet.at(8 + 4, 8 + 18 + 4 + 2)[0], 24);
    // Label text past the edge of the image is clipped, not written out of bounds.
    RgbImage small(4, 4, 0, 0, 0);
    const uint8_t white[3] = {255, 255, 255};
    drawLabel(small, -3, 2, "W8?x", 3, white);
    EXPECT_EQ(small.pixels.size(), 48u);
}

TEST(CaptureProgress, TextShowsFramesRateAndTimeLeft) {
    EXPECT_EQ(progressText(0, 10, 0.0, 0), "0/10 frames  --.- fps  --:-- left");
    EXPECT_EQ(progressText(30, 90, 1.0, 0), "30/90 frames  30.0 fps  0:02 left");
    EXPECT_EQ(progressText(45, 90, 0.5, 10), "[#####-----] 45/90 frames  90.0 fps  0:01 left");
    EXPECT_EQ(progressText(100, 5536, 1.0, 0), "100/5536 frames  100.0 fps  0:54 left");
    EXPECT_EQ(progressText(10, 7210, 0.1, 0), "10/7210 frames  100.0 fps  1:12 left");
}
