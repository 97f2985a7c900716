#include "platform/web/mipmap_levels.h"

namespace {

bool isPowerOfTwo(int side) { return side > 0 && (side & (side - 1)) == 0; }

MipLevel halve(const MipLevel& level, int components) {
    MipLevel next;
    next.width = level.width > 1 ? level.width / 2 : 1;
    next.height = level.height > 1 ? level.height / 2 : 1;
    next.pixels.resize(size_t(next.width) * size_t(next.height) * size_t(components));
    // Texel (x, y) of the larger level, component c.
    auto at = [&](int x, int y, int c) {
        return unsigned(level.pixels[(size_t(y) * size_t(level.width) + size_t(x)) * size_t(components) + size_t(c)]);
    };
    const bool both = level.width > 1 && level.height > 1;
    for (int y = 0; y < next.height; ++y) {
        for (int x = 0; x < next.width; ++x) {
            // The two or four source texels: along the side that is longer than 1.
            const int x0 = level.width > 1 ? 2 * x : x;
            const int y0 = level.height > 1 ? 2 * y : y;
            const int x1 = level.width > 1 ? x0 + 1 : x0;
            const int y1 = level.height > 1 ? y0 + 1 : y0;
            for (int c = 0; c < components; ++c) {
                const unsigned value = both ? (at(x0, y0, c) + at(x1, y0, c) + at(x0, y1, c) + at(x1, y1, c) + 2) / 4
                                            : (at(x0, y0, c) + at(x1, y1, c)) / 2;
                next.pixels[(size_t(y) * size_t(next.width) + size_t(x)) * size_t(components) + size_t(c)] = uint8_t(value);
            }
        }
    }
    return next;
}

}  // namespace

std::vector<MipLevel> boxFilterMipmaps(const uint8_t* pixels, int width, int height, int components) {
    std::vector<MipLevel> levels;
    if (!isPowerOfTwo(width) || !isPowerOfTwo(height) || components < 1 || pixels == nullptr) return levels;
    MipLevel base;
    base.width = width;
    base.height = height;
    base.pixels.assign(pixels, pixels + size_t(width) * size_t(height) * size_t(components));
    levels.push_back(std::move(base));
    while (levels.back().width > 1 || levels.back().height > 1) levels.push_back(halve(levels.back(), components));
    return levels;
}
