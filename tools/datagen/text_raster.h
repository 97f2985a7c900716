#pragma once
#include <string>
#include <vector>

// Glyph coverage rendered with FreeType from the DejaVu fonts.
struct Mask {
    int width = 0;   // pixels
    int height = 0;  // pixels
    std::vector<float> coverage;  // 0..1, row 0 at the top
    int baseline = 0;  // row of the text's baseline within the mask
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
        return coverage[size_t(y) * width + x];
    }
};

// Full path of a DejaVu font file, e.g. "DejaVuSans-Bold.ttf".
std::string dejaVuPath(const std::string& fileName);

// One line of text at `pixelSize` (em height in pixels), widened by `xScale` (1 = as drawn),
// with `tracking` extra pixels between letters. The mask is cropped tightly with `pad` empty
// pixels around it.
Mask renderLine(const std::string& fontFile, int pixelSize, const std::string& text,
                float xScale = 1.0f, float tracking = 0.0f, int pad = 0);

// Gaussian-like blur (three box passes) of the given radius in pixels.
Mask blur(const Mask& m, int radius);
