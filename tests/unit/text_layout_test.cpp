#include <gtest/gtest.h>

#include "font/text_layout.h"

namespace {

// A 256 x 256 font image: 16 x 16 overlay-unit cells.
FontMetrics font(int32_t xspace = 0, int32_t yspace = 0) { return {16, 16, xspace, yspace}; }

std::vector<std::pair<int64_t, int64_t>> corners(const std::vector<GlyphQuad>& quads) {
    std::vector<std::pair<int64_t, int64_t>> result;
    for (const GlyphQuad& q : quads) result.emplace_back(q.left, q.top);
    return result;
}

using Corners = std::vector<std::pair<int64_t, int64_t>>;

}  // namespace

TEST(TextLayout, CodeSitsInFourCellsSideBySide) {
    const auto quads = layoutText(20, 20, 400, 400, "Code", font());
    EXPECT_EQ(corners(quads), (Corners{{20, 20}, {36, 20}, {52, 20}, {68, 20}}));
    for (const GlyphQuad& q : quads) {
        EXPECT_EQ(q.right - q.left, 16);
        EXPECT_EQ(q.bottom, 36);
    }
    // 'C' = 67: column 3, row 4 - 2 = 2; 'e' = 101: column 5, row 4.
    EXPECT_FLOAT_EQ(quads[0].s0, 3 / 16.0f);
    EXPECT_FLOAT_EQ(quads[0].s1, 4 / 16.0f);
    EXPECT_FLOAT_EQ(quads[0].t0, 2 / 16.0f);
    EXPECT_FLOAT_EQ(quads[0].t1, 3 / 16.0f);
    EXPECT_FLOAT_EQ(quads[3].s0, 5 / 16.0f);
    EXPECT_FLOAT_EQ(quads[3].t0, 4 / 16.0f);
    // Texture coordinates count texels of a 256-wide image, whatever the image size.
    const auto small = layoutText(0, 0, 400, 400, "!", {8, 4, 0, 0});  // '!' = 33: column 1
    EXPECT_FLOAT_EQ(small[0].s0, 8 / 256.0f);
    EXPECT_FLOAT_EQ(small[0].t1, 4 / 256.0f);
}

TEST(TextLayout, LineFeedsAndBlanks) {
    EXPECT_EQ(corners(layoutText(5, 7, 400, 400, "A\nB", font(0, 3))), (Corners{{5, 7}, {5, 26}}));
    EXPECT_EQ(corners(layoutText(5, 7, 400, 400, "A\n\nB", font(0, 3))), (Corners{{5, 7}, {5, 45}}));
    // Leading blanks and blanks after a line feed take no room; others each advance.
    EXPECT_EQ(corners(layoutText(0, 0, 400, 400, "  A\n B", font(2))), (Corners{{0, 0}, {0, 16}}));
    EXPECT_EQ(corners(layoutText(0, 0, 400, 400, "A B  C", font(2))),
              (Corners{{0, 0}, {36, 0}, {90, 0}}));
    EXPECT_TRUE(layoutText(0, 0, 400, 400, "", font()).empty());
    EXPECT_TRUE(layoutText(0, 0, 400, 400, " \n \n", font()).empty());
}

TEST(TextLayout, MarkersSwitchToTheAlternateRowsAndTakeNoRoom) {
    const auto quads = layoutText(0, 0, 400, 400, "a<b>c", font());
    EXPECT_EQ(corners(quads), (Corners{{0, 0}, {16, 0}, {32, 0}}));
    EXPECT_FLOAT_EQ(quads[0].t0, 4 / 16.0f);   // 'a' normal row 4
    EXPECT_FLOAT_EQ(quads[1].s0, 2 / 16.0f);   // 'b' column 2
    EXPECT_FLOAT_EQ(quads[1].t0, 12 / 16.0f);  // alternate row 12
    EXPECT_FLOAT_EQ(quads[2].t0, 4 / 16.0f);   // back to normal
    // The alternate set stays on across words and lines until '>'.
    const auto across = layoutText(0, 0, 400, 400, "<a\nb", font());
    EXPECT_FLOAT_EQ(across[1].t0, 12 / 16.0f);
}

TEST(TextLayout, WrapEstimateUsesCellWidthMinusXspace) {
    // cellWidth 16, xspace 4: each character is estimated at 12 units but drawn 20 apart.
    const FontMetrics m = font(4);
    // Box 64 wide: "abc" (estimate 36) fits from 0; after "abc " penX = 80 > 64, so "d" wraps.
    EXPECT_EQ(corners(layoutText(0, 0, 64, 400, "abc d", m)),
              (Corners{{0, 0}, {20, 0}, {40, 0}, {0, 16}}));
    // Equal estimate stays: after "a " penX = 40, room 64 - 40 = 24 = estimate of "bc".
    EXPECT_EQ(corners(layoutText(0, 0, 64, 400, "a bc", m)),
              (Corners{{0, 0}, {40, 0}, {60, 0}}));
    // One unit less room wraps.
    EXPECT_EQ(corners(layoutText(0, 0, 63, 400, "a bc", m)),
              (Corners{{0, 0}, {0, 16}, {20, 16}}));
    // A negative xspace makes the estimate larger than the cell.
    EXPECT_EQ(corners(layoutText(0, 0, 40, 400, "ab", font(-5))), (Corners{{0, 16}, {11, 16}}));
}

TEST(TextLayout, WordWiderThanTheBoxMovesDownAndIsDrawnWhole) {
    const auto quads = layoutText(10, 10, 40, 400, "abcdef", font());
    ASSERT_EQ(quads.size(), 6u);
    EXPECT_EQ(quads[0].left, 10);
    EXPECT_EQ(quads[0].top, 26);
    EXPECT_EQ(quads[5].left, 90);  // past the right edge of the box
}

TEST(TextLayout, LinesBelowTheBoxEndTheLayout) {
    // Box height 48, cell 16, line step 16: tops 0, 16, 32 fit (32 = 48 - 16), 48 does not.
    const auto quads = layoutText(0, 100, 400, 48, "a\nb\nc\nd\ne", font());
    EXPECT_EQ(corners(quads), (Corners{{0, 100}, {0, 116}, {0, 132}}));
    // Nothing after the first line that does not fit, even if a later one would.
    EXPECT_EQ(layoutText(0, 0, 400, 20, "a\nb", font(0, 10)).size(), 1u);
    EXPECT_TRUE(layoutText(0, 0, 400, 15, "a", font()).empty());
}

TEST(TextLayout, CodesAboveSevenBitsUseSignedArithmetic) {
    // 0xE9 is -23 as a signed byte: column -7, row -1 - 2 = -3.
    const auto quads = layoutText(0, 0, 400, 400, "\xE9", font());
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].s0, -7 / 16.0f);
    EXPECT_FLOAT_EQ(quads[0].t0, -3 / 16.0f);
}

TEST(TextLayout, ExtremeSpacingsDoNotOverflow) {
    const auto quads = layoutText(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, "ab cd\nef",
                                  {4095, 4095, INT32_MAX, INT32_MIN});
    for (const GlyphQuad& q : quads) EXPECT_GE(q.left, INT32_MAX);
}
