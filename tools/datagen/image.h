#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A picture being painted: linear-ish colour, floats 0..1 per channel, row 0 is the top.
struct Image {
    int width = 0;   // pixels
    int height = 0;  // pixels
    std::vector<float> rgba;  // width * height * 4, row after row from the top

    Image(int w, int h) : width(w), height(h), rgba(size_t(w) * h * 4, 0.0f) {
        for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 1.0f;
    }
    float* at(int x, int y) { return &rgba[(size_t(y) * width + x) * 4]; }
    const float* at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

struct Rgb {
    float r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }

inline void setPixel(Image& img, int x, int y, Rgb c, float alpha = 1.0f) {
    float* p = img.at(x, y);
    p[0] = c.r; p[1] = c.g; p[2] = c.b; p[3] = alpha;
}
inline Rgb getPixel(const Image& img, int x, int y) {
    const float* p = img.at(x, y);
    return {p[0], p[1], p[2]};
}
// Paints `c` over the pixel with the given coverage (0..1).
inline void blendPixel(Image& img, int x, int y, Rgb c, float coverage) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height || coverage <= 0.0f) return;
    float* p = img.at(x, y);
    p[0] += (c.r - p[0]) * coverage;
    p[1] += (c.g - p[1]) * coverage;
    p[2] += (c.b - p[2]) * coverage;
}
inline void addPixel(Image& img, int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
    float* p = img.at(x, y);
    p[0] += c.r; p[1] += c.g; p[2] += c.b;
}

// How a picture is stored: TGA image type 2 (plain) or 10 (run-length), 24 or 32 bits.
struct TgaLayout {
    int imageType = 2;     // 2 or 10
    int bitsPerPixel = 24; // 24 or 32
    bool topDown = false;  // first stored row = top (descriptor bit 5); default bottom-up
};

// Encodes the image as TGA bytes (channels clamped to 0..1 and rounded to 0..255).
std::vector<uint8_t> encodeTga(const Image& img, TgaLayout layout);
