#pragma once
#include <cstdint>
#include <string>

// Writes an 8-bit PNG of `width` x `height` pixels to `path` (the caller picks a temporary
// name). `channels` is 3 (RGB) or 4 (RGBA, written as RGB: the alpha of read-back frames is
// always opaque). `bottomUp`: rows in GL order, last row first. `compression` 0..9.
bool writePng(const std::string& path, int width, int height, const uint8_t* pixels,
              int channels, bool bottomUp, int compression, std::string& error);
