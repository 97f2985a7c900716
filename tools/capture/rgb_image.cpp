#include "rgb_image.h"

RgbImage::RgbImage(int w, int h, uint8_t r, uint8_t g, uint8_t b)
    : width(w), height(h), pixels(size_t(w) * size_t(h) * 3) {
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = r;
        pixels[i + 1] = g;
        pixels[i + 2] = b;
    }
}
