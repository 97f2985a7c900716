#pragma once
// A minimal reader for the accepted TGA subset, independent of the generator's writer, so the
// tests check the files the way a reader sees them.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct TgaFile {
    bool ok = false;
    std::string error;
    int type = 0, width = 0, height = 0, bits = 0, descriptor = 0;
    std::vector<uint8_t> pixels;  // B, G, R (, A) as stored, first stored row first
};

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline TgaFile readTga(const std::string& path) {
    TgaFile t;
    const std::vector<uint8_t> d = readBytes(path);
    if (d.size() < 18) { t.error = "short header"; return t; }
    static const uint8_t plain[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    static const uint8_t rle[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const bool isPlain = std::equal(plain, plain + 12, d.begin());
    const bool isRle = std::equal(rle, rle + 12, d.begin());
    if (!isPlain && !isRle) { t.error = "header matches neither template"; return t; }
    t.type = d[2];
    t.width = d[12] | d[13] << 8;
    t.height = d[14] | d[15] << 8;
    t.bits = d[16];
    t.descriptor = d[17];
    const size_t bpp = size_t(t.bits / 8), count = size_t(t.width) * size_t(t.height);
    if (t.width == 0 || t.height == 0 || (t.bits != 24 && t.bits != 32)) { t.error = "bad size or depth"; return t; }
    size_t pos = 18;
    if (isPlain) {
        if (d.size() < pos + count * bpp) { t.error = "pixel data cut short"; return t; }
        t.pixels.assign(d.begin() + long(pos), d.begin() + long(pos + count * bpp));
    } else {
        while (t.pixels.size() < count * bpp) {
            if (pos >= d.size()) { t.error = "packet header missing"; return t; }
            const uint8_t h = d[pos++];
            const size_t n = size_t(h & 0x7F) + 1;
            if (t.pixels.size() / bpp + n > count) { t.error = "packet runs past the image"; return t; }
            const size_t bytes = (h & 0x80) ? bpp : n * bpp;
            if (pos + bytes > d.size()) { t.error = "packet cut short"; return t; }
            for (size_t k = 0; k < n; ++k) {
                const size_t src = (h & 0x80) ? pos : pos + k * bpp;
                t.pixels.insert(t.pixels.end(), d.begin() + long(src), d.begin() + long(src + bpp));
            }
            pos += bytes;
        }
    }
    t.ok = true;
    return t;
}
