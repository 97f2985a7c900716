#include "font/text_drawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "font/font_manager.h"
#include "font/text_layout.h"
#include "render/overlay.h"
#include "texture/texture_manager.h"

namespace {

GLint vertexCoordinate(int64_t value) {
    return static_cast<GLint>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

void drawGlyph(const GlyphQuad& q) {
    const GLint left = vertexCoordinate(q.left), top = vertexCoordinate(q.top);
    const GLint right = vertexCoordinate(q.right), bottom = vertexCoordinate(q.bottom);
    glBegin(GL_QUADS);
    glTexCoord2f(q.s0, q.t0);
    glVertex2i(left, top);
    glTexCoord2f(q.s1, q.t0);
    glVertex2i(right, top);
    glTexCoord2f(q.s1, q.t1);
    glVertex2i(right, bottom);
    glTexCoord2f(q.s0, q.t1);
    glVertex2i(left, bottom);
    glEnd();
}

// Glyphs of the text being drawn; kept between calls so that its capacity is reused.
std::vector<GlyphQuad> glyphs;

}  // namespace

std::optional<TextFont> currentTextFont() {
    FontManager* fonts = FontManager::instance();
    const bool haveFont = currentFont >= 0 &&
                          static_cast<size_t>(currentFont) < fonts->fontTextures.size();
    const uint32_t fontTexture = haveFont ? fonts->fontTextures[currentFont] : 0;
    const Texture* image = TextureManager::instance()->getTexture(fontTexture);
    if (image == nullptr || !image->pixels) return std::nullopt;
    TextFont font;
    font.texture = fontTexture;
    font.metrics.cellWidth = static_cast<int32_t>(image->width / 16);
    font.metrics.cellHeight = static_cast<int32_t>(image->height / 16);
    font.metrics.xspace = fonts->fontTable->intValue(currentFont, "xspace");
    font.metrics.yspace = fonts->fontTable->intValue(currentFont, "yspace");
    return font;
}

void drawText(int32_t x, int32_t y, int32_t width, int32_t height, std::string_view text) {
    beginOverlay();
    if (const std::optional<TextFont> font = currentTextFont()) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, font->texture);
        layoutTextInto(glyphs, x, y, width, height, text, font->metrics);
        for (const GlyphQuad& quad : glyphs) drawGlyph(quad);
    }
    endOverlay();
}
