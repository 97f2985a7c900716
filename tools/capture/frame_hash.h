#pragma once
#include <cstdint>
#include <string>

// SHA-256 of a frame's pixels as drawn, in lower-case hex: the RGB24 bytes (R, G, B for
// each pixel, no padding) of its rows from top to bottom, which is what
//   ffmpeg -i FILE -map 0:v -pix_fmt rgb24 -f framehash -hash sha256 -
// hashes for each decoded frame. `rgba` holds width x height RGBA pixels, bottom row
// first (GL order).
std::string frameSha256(const uint8_t* rgba, int width, int height);
