#include "image.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

uint8_t toByte(float v) {
    return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

// One stored row as B, G, R (, A) bytes.
std::vector<uint8_t> storedRow(const Image& img, int y, int bytesPerPixel) {
    std::vector<uint8_t> row;
    row.reserve(size_t(img.width) * bytesPerPixel);
    for (int x = 0; x < img.width; ++x) {
        const float* p = img.at(x, y);
        row.push_back(toByte(p[2]));
        row.push_back(toByte(p[1]));
        row.push_back(toByte(p[0]));
        if (bytesPerPixel == 4) row.push_back(toByte(p[3]));
    }
    return row;
}

// Run-length packets for one row; packets never cross rows. A run of two or more equal
// pixels becomes a run packet, everything else is gathered into raw packets of up to 128.
void appendRlePackets(std::vector<uint8_t>& out, const std::vector<uint8_t>& row, int bpp) {
    const int n = int(row.size()) / bpp;
    auto same = [&](int a, int b) {
        return std::equal(row.begin() + a * bpp, row.begin() + (a + 1) * bpp, row.begin() + b * bpp);
    };
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 128 && same(i, i + run)) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(0x80 | (run - 1)));
            out.insert(out.end(), row.begin() + i * bpp, row.begin() + (i + 1) * bpp);
            i += run;
            continue;
        }
        int raw = 1;
        while (i + raw < n && raw < 128 && !(i + raw + 1 < n && same(i + raw, i + raw + 1))) ++raw;
        out.push_back(uint8_t(raw - 1));
        out.insert(out.end(), row.begin() + i * bpp, row.begin() + (i + raw) * bpp);
        i += raw;
    }
}

}  // namespace

std::vector<uint8_t> encodeTga(const Image& img, TgaLayout layout) {
    if ((layout.imageType != 2 && layout.imageType != 10) ||
        (layout.bitsPerPixel != 24 && layout.bitsPerPixel != 32))
        throw std::invalid_argument("unsupported TGA layout");
    const int bpp = layout.bitsPerPixel / 8;
    std::vector<uint8_t> out(18, 0);
    out[2] = uint8_t(layout.imageType);
    out[12] = uint8_t(img.width & 0xFF);
    out[13] = uint8_t(img.width >> 8);
    out[14] = uint8_t(img.height & 0xFF);
    out[15] = uint8_t(img.height >> 8);
    out[16] = uint8_t(layout.bitsPerPixel);
    // Descriptor: alpha bits in 0..3, bit 5 = top-left origin.
    out[17] = uint8_t((bpp == 4 ? 8 : 0) | (layout.topDown ? 0x20 : 0));
    for (int i = 0; i < img.height; ++i) {
        const int y = layout.topDown ? i : img.height - 1 - i;
        std::vector<uint8_t> row = storedRow(img, y, bpp);
        if (layout.imageType == 2)
            out.insert(out.end(), row.begin(), row.end());
        else
            appendRlePackets(out, row, bpp);
    }
    return out;
}
