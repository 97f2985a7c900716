#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// A 5 by 7 pixel bitmap font of the show's own tools and the player's status line, apart
// from the show's fonts (no texture, no font registry): digits, A to Z (lower case is drawn
// as upper case), space and . - : ( ) /. Other characters have no glyph.
inline constexpr int GlyphWidth = 5;   // pixels, before scaling
inline constexpr int GlyphHeight = 7;
inline constexpr int GlyphAdvance = 6;  // pixels from one character to the next

// One glyph: seven rows, top first; bit 4 is the leftmost pixel.
using TinyGlyph = std::array<uint8_t, GlyphHeight>;

// The glyph of `c`; null for a character without one (a space among them).
const TinyGlyph* findTinyGlyph(char c);

// Whether pixel (column, row) of a glyph is set; column 0..GlyphWidth-1 from the left, row
// 0..GlyphHeight-1 from the top.
inline bool tinyGlyphPixel(const TinyGlyph& glyph, int column, int row) {
    return (glyph[size_t(row)] >> (GlyphWidth - 1 - column) & 1) != 0;
}
