#pragma once
#include <cstdint>
#include <string>

// Writes an 8-bit PNG of `width` x `height` pixels to the file open for writing as `fd`
// (left open; the caller's temporary), named `name` in messages. `channels` is 3 (RGB) or 4
// (RGBA, written as RGB: the alpha of read-back frames is always opaque). `bottomUp`: rows
// in GL order, last row first. `compression` 0..9. False with a one-line reason when any
// byte could not be written.
bool writePng(int fd, const std::string& name, int width, int height, const uint8_t* pixels,
              int channels, bool bottomUp, int compression, std::string& error);
