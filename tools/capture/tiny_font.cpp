#include "tiny_font.h"

void drawLabel(RgbImage& image, int x, int y, const std::string& text, int scale,
               const uint8_t colour[3]) {
    for (size_t n = 0; n < text.size(); ++n) {
        const TinyGlyph* glyph = findTinyGlyph(text[n]);
        if (glyph == nullptr) continue;
        const int left = x + int(n) * GlyphAdvance * scale;
        for (int row = 0; row < GlyphHeight; ++row)
            for (int column = 0; column < GlyphWidth; ++column) {
                if (!tinyGlyphPixel(*glyph, column, row)) continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) {
                        const int px = left + column * scale + dx;
                        const int py = y + row * scale + dy;
                        if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
                        uint8_t* p = image.at(px, py);
                        p[0] = colour[0];
                        p[1] = colour[1];
                        p[2] = colour[2];
                    }
            }
    }
}
