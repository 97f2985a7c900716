#include "font_atlas.h"

#include "text_raster.h"

#include <algorithm>

namespace {

constexpr const char* RegularFace = "DejaVuSansMono-Bold.ttf";

// Coverage of one character as a cell-sized mask, centred horizontally on the cell with its
// baseline at `baseline`; returns false when anything would touch the cell's border.
bool glyphCell(int code, int pixelSize, int baseline, int margin, Mask& cell) {
    cell.width = FontCell;
    cell.height = FontCell;
    cell.coverage.assign(FontCell * FontCell, 0.0f);
    const Mask glyph = renderLine(RegularFace, pixelSize, std::string(1, char(code)));
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

// All glyphs at the largest size whose every glyph keeps `margin` free pixels in its cell.
std::vector<Mask> glyphSet(int margin, int baseline) {
    for (int size = FontCell; size > 6; --size) {
        std::vector<Mask> cells(96);
        bool fits = true;
        for (int code = 32; code < 128 && fits; ++code)
            fits = glyphCell(code, size, baseline, margin, cells[size_t(code - 32)]);
        if (fits) return cells;
    }
    return std::vector<Mask>(96);
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
    // Regular: bold monospace, 1 pixel border. Alternate: a smaller glyph drawn as an
    // outline (grown coverage minus the glyph), so the outline too keeps the border.
    const std::vector<Mask> regular = glyphSet(1, 12);
    const std::vector<Mask> small = glyphSet(2, 12);
    for (int code = 32; code < 128; ++code) {
        paintCell(img, code, 0, regular[size_t(code - 32)]);
        const Mask& g = small[size_t(code - 32)];
        Mask outline = dilate(g, 1.0f);
        for (size_t i = 0; i < outline.coverage.size(); ++i)
            outline.coverage[i] = std::clamp(outline.coverage[i] - 0.85f * g.coverage[i], 0.0f, 1.0f);
        paintCell(img, code, 8, outline);
    }
    return img;
}

std::string makeFontTable() {
    // The pen advances 16 + xspace units per glyph and 16 + yspace per line.
    return "mapfile xspace yspace\ndata/font.tga -6 2\n";
}
