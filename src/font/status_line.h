#pragma once
#include <string>

// Draws `text` as one line in the tiny font (font/tiny_font.h) at the bottom left of a
// `width` x `height` surface: light glyphs on a dark, half-transparent band, each font pixel
// a square of height / 180 pixels (at least 2, less where the line would not fit the width). Plain coloured quads: it needs no texture
// and leaves the show's font registry alone. Every GL state it touches is set first and put
// back after, both matrices included, so the show's next frame starts from what it left.
void drawStatusLine(const std::string& text, int width, int height);
