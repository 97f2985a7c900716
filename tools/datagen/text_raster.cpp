#include "text_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

struct FtLibrary {
    FT_Library lib = nullptr;
    FtLibrary() {
        if (FT_Init_FreeType(&lib)) throw std::runtime_error("FreeType init failed");
    }
    ~FtLibrary() { FT_Done_FreeType(lib); }
};

struct FtFace {
    FT_Face face = nullptr;
    FtFace(FT_Library lib, const std::string& path) {
        if (FT_New_Face(lib, path.c_str(), 0, &face))
            throw std::runtime_error("cannot open font " + path);
    }
    ~FtFace() { FT_Done_Face(face); }
};

}  // namespace

std::string dejaVuPath(const std::string& fileName) {
    return std::string(DATAGEN_FONT_DIR) + "/" + fileName;
}

Mask renderLine(const std::string& fontFile, int pixelSize, const std::string& text,
                float xScale, float tracking, int pad) {
    FtLibrary lib;
    FtFace f(lib.lib, dejaVuPath(fontFile));
    FT_Set_Pixel_Sizes(f.face, 0, FT_UInt(pixelSize));
    FT_Matrix widen{FT_Fixed(std::lround(xScale * 65536.0f)), 0, 0, 0x10000};
    FT_Set_Transform(f.face, &widen, nullptr);

    // Lay out on a canvas generous enough for any line, then crop.
    const int ascent = pixelSize * 2;
    const int canvasH = pixelSize * 3;
    const int canvasW = int(text.size()) * int(pixelSize * (xScale + 0.5f) + tracking + 4) + 8;
    std::vector<float> canvas(size_t(canvasW) * canvasH, 0.0f);
    float penX = 4.0f;
    for (unsigned char ch : text) {
        if (FT_Load_Char(f.face, ch, FT_LOAD_RENDER)) continue;
        const FT_GlyphSlot g = f.face->glyph;
        const int left = int(std::lround(penX)) + g->bitmap_left;
        const int top = ascent - g->bitmap_top;
        for (unsigned r = 0; r < g->bitmap.rows; ++r)
            for (unsigned c = 0; c < g->bitmap.width; ++c) {
                const int x = left + int(c), y = top + int(r);
                if (x < 0 || y < 0 || x >= canvasW || y >= canvasH) continue;
                float& dst = canvas[size_t(y) * canvasW + x];
                dst = std::min(1.0f, dst + g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f);
            }
        penX += float(g->advance.x) / 64.0f + tracking;
    }
    int x0 = canvasW, x1 = -1, y0 = canvasH, y1 = -1;
    for (int y = 0; y < canvasH; ++y)
        for (int x = 0; x < canvasW; ++x)
            if (canvas[size_t(y) * canvasW + x] > 0.0f) {
                x0 = std::min(x0, x); x1 = std::max(x1, x);
                y0 = std::min(y0, y); y1 = std::max(y1, y);
            }
    Mask m;
    if (x1 < 0) return m;
    m.width = x1 - x0 + 1 + 2 * pad;
    m.height = y1 - y0 + 1 + 2 * pad;
    m.coverage.assign(size_t(m.width) * m.height, 0.0f);
    m.baseline = ascent - y0 + pad;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            m.coverage[size_t(y - y0 + pad) * m.width + (x - x0 + pad)] =
                canvas[size_t(y) * canvasW + x];
    return m;
}

Mask blur(const Mask& m, int radius) {
    Mask cur = m;
    std::vector<float> tmp(cur.coverage.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < cur.height; ++y)
            for (int x = 0; x < cur.width; ++x) {
                float s = 0;
                for (int d = -radius; d <= radius; ++d) s += cur.at(x + d, y);
                tmp[size_t(y) * cur.width + x] = s / float(2 * radius + 1);
            }
        for (int y = 0; y < cur.height; ++y)
            for (int x = 0; x < cur.width; ++x) {
                float s = 0;
                for (int d = -radius; d <= radius; ++d) {
                    const int yy = y + d;
                    if (yy >= 0 && yy < cur.height) s += tmp[size_t(yy) * cur.width + x];
                }
                cur.coverage[size_t(y) * cur.width + x] = s / float(2 * radius + 1);
            }
    }
    return cur;
}
