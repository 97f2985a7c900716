#include "font/text_layout.h"

namespace {

constexpr float TexelToCoordinate = 0.00390625f;  // 1/256: texel position -> s or t

GlyphQuad makeGlyph(int64_t left, int64_t top, char character, bool alternate,
                    const FontMetrics& m) {
    const auto code = static_cast<int8_t>(character);  // signed: truncating / and %
    const int32_t column = code % 16;
    const int32_t row = code / 16 - 2 + (alternate ? 8 : 0);
    GlyphQuad quad;
    quad.left = left;
    quad.top = top;
    quad.right = left + m.cellWidth;
    quad.bottom = top + m.cellHeight;
    quad.s0 = static_cast<float>(column * m.cellWidth) * TexelToCoordinate;
    quad.s1 = static_cast<float>((column + 1) * m.cellWidth) * TexelToCoordinate;
    quad.t0 = static_cast<float>(row * m.cellHeight) * TexelToCoordinate;
    quad.t1 = static_cast<float>((row + 1) * m.cellHeight) * TexelToCoordinate;
    return quad;
}

}  // namespace

std::vector<GlyphQuad> layoutText(int32_t x, int32_t y, int32_t width, int32_t height,
                                  std::string_view text, const FontMetrics& metrics) {
    std::vector<GlyphQuad> quads;
    layoutTextInto(quads, x, y, width, height, text, metrics);
    return quads;
}

void layoutTextInto(std::vector<GlyphQuad>& quads, int32_t x, int32_t y, int32_t width,
                    int32_t height, std::string_view text, const FontMetrics& m) {
    quads.clear();
    const int64_t advance = int64_t{m.cellWidth} + m.xspace;      // per glyph and blank
    const int64_t lineStep = int64_t{m.cellHeight} + m.yspace;    // per line
    const int64_t estimate = int64_t{m.cellWidth} - m.xspace;     // per character, wrap test
    const int64_t lowestTop = int64_t{height} - m.cellHeight;     // last line top allowed
    int64_t penX = 0;
    int64_t penY = 0;
    bool alternate = false;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == '\n') {
            penX = 0;
            penY += lineStep;
            ++i;
        }
        if (i < text.size() && text[i] == ' ') {
            if (penX > 0) penX += advance;
            ++i;
            continue;
        }
        size_t wordEnd = text.find_first_of(" \n", i);
        if (wordEnd == std::string_view::npos) wordEnd = text.size();
        if (static_cast<int64_t>(wordEnd - i) * estimate > int64_t{width} - penX) {
            penX = 0;
            penY += lineStep;
        }
        if (penY > lowestTop) break;
        bool markerSeen = false;
        while (i < wordEnd && !markerSeen) {
            if (text[i] == '<' || text[i] == '>') {
                alternate = text[i] == '<';
                markerSeen = true;  // the rest of the word is measured again
            } else {
                quads.push_back(makeGlyph(x + penX, y + penY, text[i], alternate, m));
                penX += advance;
            }
            ++i;
        }
    }
}
