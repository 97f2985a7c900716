#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

// Sizes that place glyphs, in overlay units (320 x 200, y down).
struct FontMetrics {
    int32_t cellWidth = 0;   // font image width / 16
    int32_t cellHeight = 0;  // font image height / 16
    int32_t xspace = 0;      // extra gap between glyph cells, may be negative
    int32_t yspace = 0;      // extra gap between lines, may be negative
};

// One glyph as drawn: a cellWidth x cellHeight quad and its texture rectangle.
struct GlyphQuad {
    int64_t left = 0, top = 0;      // overlay units, y down
    int64_t right = 0, bottom = 0;  // left + cellWidth, top + cellHeight
    float s0 = 0, t0 = 0;           // texture coordinates of the top-left corner
    float s1 = 0, t1 = 0;           // texture coordinates of the bottom-right corner
};

// Lays `text` out in the box at (x, y) of width x height: line feeds break lines, a word
// whose estimated width ((length) * (cellWidth - xspace)) exceeds the room left moves to
// the next line, blanks at a line start take no room, '<' and '>' switch to and from the
// alternate glyph rows (8 further down the 16 x 16 grid), and the first line whose top
// lies below height - cellHeight ends the layout. Positions are kept in 64 bits so that
// extreme spacings cannot overflow.
std::vector<GlyphQuad> layoutText(int32_t x, int32_t y, int32_t width, int32_t height,
                                  std::string_view text, const FontMetrics& metrics);

// The same layout into `quads` (cleared first), so that a caller drawing every frame can
// reuse one buffer and allocate nothing once it has grown to its longest text.
void layoutTextInto(std::vector<GlyphQuad>& quads, int32_t x, int32_t y, int32_t width,
                    int32_t height, std::string_view text, const FontMetrics& metrics);
