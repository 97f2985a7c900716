#include "sheet_layout.h"

#include <algorithm>

#include "tiny_font.h"

namespace {
constexpr int Margin = 8;      // pixels around and between tiles
constexpr int LabelScale = 2;  // font pixels per label pixel
constexpr int LabelHeight = GlyphHeight * LabelScale + 6;
constexpr uint8_t Background[3] = {24, 24, 28};
constexpr uint8_t LabelColour[3] = {230, 230, 230};
}  // namespace

std::string sheetShotLabel(const SheetShot& shot) {
    const auto index = int32_t(shot.scene);
    return std::to_string(index) + " " +
           (shot.detail != nullptr ? shot.detail : SceneNames[size_t(index)]);
}

RgbImage scaleDown(const uint8_t* rgba, int sourceWidth, int sourceHeight, int width, int height) {
    RgbImage result(width, height, 0, 0, 0);
    for (int y = 0; y < height; ++y) {
        const int y0 = int(int64_t(y) * sourceHeight / height);
        const int y1 = std::max(y0 + 1, int(int64_t(y + 1) * sourceHeight / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = int(int64_t(x) * sourceWidth / width);
            const int x1 = std::max(x0 + 1, int(int64_t(x + 1) * sourceWidth / width));
            uint64_t sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const uint8_t* p = rgba + (size_t(sy) * size_t(sourceWidth) + size_t(sx)) * 4;
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            const uint64_t count = uint64_t(x1 - x0) * uint64_t(y1 - y0);
            uint8_t* out = result.at(x, y);
            for (int c = 0; c < 3; ++c) out[c] = uint8_t((sum[c] + count / 2) / count);
        }
    }
    return result;
}

int thumbHeight(int frameWidth, int frameHeight) {
    return std::max(1, int((int64_t(SheetThumbWidth) * frameHeight + frameWidth / 2) / frameWidth));
}

RgbImage composeSheet(const std::vector<SheetTile>& tiles) {
    if (tiles.empty()) return RgbImage();
    const int tw = tiles.front().thumb.width;
    const int th = tiles.front().thumb.height;
    const int rows = (int(tiles.size()) + SheetColumns - 1) / SheetColumns;
    RgbImage sheet(Margin + SheetColumns * (tw + Margin), Margin + rows * (th + LabelHeight + Margin),
                   Background[0], Background[1], Background[2]);
    for (size_t i = 0; i < tiles.size(); ++i) {
        const int left = Margin + int(i % SheetColumns) * (tw + Margin);
        const int top = Margin + int(i / SheetColumns) * (th + LabelHeight + Margin);
        const RgbImage& thumb = tiles[i].thumb;
        for (int y = 0; y < std::min(th, thumb.height); ++y)
            std::copy_n(thumb.at(0, y), size_t(std::min(tw, thumb.width)) * 3, sheet.at(left, top + y));
        drawLabel(sheet, left, top + th + 4, tiles[i].label, LabelScale, LabelColour);
    }
    return sheet;
}
