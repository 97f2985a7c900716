#include "font_atlas.h"

#include "text_raster.h"

#include <algorithm>

namespace {

constexpr const char* RegularFace = "DejaVuSansMono-Bold.ttf";
constexpr const char* AlternateFace = "DejaVuSansMono-BoldOblique.ttf";

// Coverage of one character as a cell-sized mask, centred horizontally on the cell with its
// baseline at `baseline`; returns false when anything would touch the cell's border.
bool glyphCell(const char* face, int code, int pixelSize, int baseline, int margin, Mask& cell) {
    cell.width = FontCell;
    cell.height = FontCell;
    cell.coverage.assign(FontCell * FontCell, 0.0f);
    const Mask glyph = renderLine(face, pixelSize, std::string(1, char(code)));
    if (glyph.width == 0) return true;
    const int glyphTop = baseline - glyph.baseline;
    const int left = (FontCell - glyph.width) / 2;
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x) {
            const float c = glyph.at(x, y);
            if (c <= 0.0f) continue;
            const int cx = left + x, cy = glyphTop + y;
            if (cx < margin || cy < margin || cx >= FontCell - margin || cy >= FontCell - margin)
                return false;
            cell.coverage[size_t(cy) * FontCell + cx] = c;
        }
    return true;
}

bool isAlphanumeric(int code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}

// Glyphs for codes 32..126 (127 stays empty): letters and digits share the largest size at
// which all of them keep `margin` free pixels; a taller sign (brackets, bar) is drawn as
// large as it can be up to that size.
std::vector<Mask> glyphSet(const char* face, int margin, int baseline) {
    std::vector<Mask> cells(96);
    int size = FontCell;
    for (; size > 6; --size) {
        bool fits = true;
        for (int code = 32; code < 127 && fits; ++code)
            if (isAlphanumeric(code)) fits = glyphCell(face, code, size, baseline, margin, cells[size_t(code - 32)]);
        if (fits) break;
    }
    for (int code = 32; code < 127; ++code)
        for (int s = size; s > 4; --s)
            if (glyphCell(face, code, s, baseline, margin, cells[size_t(code - 32)])) break;
    cells[95].width = FontCell;
    cells[95].height = FontCell;
    cells[95].coverage.assign(FontCell * FontCell, 0.0f);
    return cells;
}

void paintCell(Image& img, int code, int rowOffset, const Mask& m) {
    const int cx = (code % 16) * FontCell, cy = (code / 16 - 2 + rowOffset) * FontCell;
    for (int y = 0; y < FontCell; ++y)
        for (int x = 0; x < FontCell; ++x) setPixel(img, cx + x, cy + y, {1, 1, 1}, m.at(x, y));
}

}  // namespace

Image makeFontImage() {
    Image img(FontImageSize, FontImageSize);
    for (size_t i = 3; i < img.rgba.size(); i += 4) img.rgba[i] = 0.0f;
    // Regular: bold monospace. Alternate: the same, oblique.
    const std::vector<Mask> regular = glyphSet(RegularFace, 1, 12);
    const std::vector<Mask> alternate = glyphSet(AlternateFace, 1, 12);
    for (int code = 32; code < 128; ++code) {
        paintCell(img, code, 0, regular[size_t(code - 32)]);
        paintCell(img, code, 8, alternate[size_t(code - 32)]);
    }
    return img;
}

std::string makeFontTable() {
    // The pen advances 16 + xspace units per glyph and 16 + yspace per line.
    return "mapfile xspace yspace\ndata/font.tga -5 2\n";
}
