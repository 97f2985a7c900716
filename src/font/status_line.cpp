#include "font/status_line.h"

#include <GL/gl.h>

#include <initializer_list>

#include <algorithm>

#include "font/tiny_font.h"

namespace {

// A rectangle in pixels, y from the bottom.
void fillRect(int x, int y, int w, int h) {
    glVertex2i(x, y);
    glVertex2i(x + w, y);
    glVertex2i(x + w, y + h);
    glVertex2i(x, y + h);
}

}  // namespace

void drawStatusLine(const std::string& text, int width, int height) {
    // As large as the height asks, as long as the line fits the width.
    const int fitting = (width - 8) / (int(std::max<size_t>(text.size(), 1)) * GlyphAdvance + 4);
    const int scale = std::max(1, std::min(std::max(2, height / 180), fitting));
    const int margin = 2 * scale;                  // pixels around the text inside the band
    const int bandHeight = GlyphHeight * scale + 2 * margin;
    const int bandWidth = int(text.size()) * GlyphAdvance * scale + 2 * margin;
    const int left = 2 * margin;                    // band's distance from the surface's edges
    const int bottom = 2 * margin;

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT |
                 GL_VIEWPORT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (const GLenum cap : {GL_TEXTURE_2D, GL_FOG, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING,
                             GL_SCISSOR_TEST, GL_ALPHA_TEST})
        glDisable(cap);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glViewport(0, 0, width, height);

    glBegin(GL_QUADS);
    glColor4f(0, 0, 0, 0.6f);
    fillRect(left, bottom, bandWidth, bandHeight);
    glColor4f(1, 1, 0.85f, 1);
    const int top = bottom + margin + GlyphHeight * scale;  // the glyphs' top edge
    for (size_t n = 0; n < text.size(); ++n) {
        const TinyGlyph* glyph = findTinyGlyph(text[n]);
        if (glyph == nullptr) continue;
        const int x = left + margin + int(n) * GlyphAdvance * scale;
        for (int row = 0; row < GlyphHeight; ++row)
            for (int column = 0; column < GlyphWidth; ++column)
                if (tinyGlyphPixel(*glyph, column, row))
                    fillRect(x + column * scale, top - (row + 1) * scale, scale, scale);
    }
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
