#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "font/text_layout.h"

// Draws `text` with the current font in the 320 x 200 overlay, inside the box at (x, y) of
// `width` x `height` overlay units: line feeds break lines, words wrap, '<' and '>' switch
// to and from the alternate glyph set, and drawing stops at the first line past the box.
// The text is only read (a view, so that drawing a caption every frame copies nothing).
void drawText(int32_t x, int32_t y, int32_t width, int32_t height, std::string_view text);

// The font drawText draws with: its texture id and the metrics of its image and table row.
// Nothing when there is no font row or its image did not load (drawText then draws nothing).
struct TextFont {
    uint32_t texture = 0;
    FontMetrics metrics;
};
std::optional<TextFont> currentTextFont();
