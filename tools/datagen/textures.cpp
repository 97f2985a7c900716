#include "noise.h"
#include "pictures.h"

#include <algorithm>
#include <cmath>

Image makeCubeTexture() {
    // Riveted metal plates with corroded seams; tiles seamlessly (periodic noise, grid that
    // divides the image evenly).
    const int size = 256;
    Image img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float fx = float(x) / size, fy = float(y) / size;
            const float rust = periodicFbm(fx * 8.0f, fy * 8.0f, 8, 5, 21) * 0.5f + 0.5f;
            const float scratch = periodicFbm(fx * 64.0f, fy * 4.0f, 64, 2, 22, 0.6f);
            Rgb c = mix(Rgb{0.42f, 0.45f, 0.5f}, Rgb{0.55f, 0.3f, 0.12f}, smoothstep(0.55f, 0.8f, rust));
            c = c * (0.85f + 0.15f * scratch);
            const int px = x % 128, py = y % 128;  // plate-local pixel position
            const int edge = std::min(std::min(px, 127 - px), std::min(py, 127 - py));
            if (edge < 3) c = c * 0.35f;
            else if (edge < 6) c = c * 1.25f;
            const int rx = px < 64 ? px - 12 : px - 115, ry = py < 64 ? py - 12 : py - 115;
            const float rd = std::sqrt(float(rx * rx + ry * ry));
            if (rd < 5.0f) c = c * (1.3f - 0.12f * rd);
            // Glowing tech lines, the one bright colour in the fog.
            if ((py == 64 || py == 65) && px > 24 && px < 104) c = c + Rgb{0.1f, 0.6f, 0.9f};
            setPixel(img, x, y, Rgb{std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)});
        }
    return img;
}

Image makeBlueTexture() {
    // Caustic-like blue light; mean brightness stays low because it is added onto black.
    const int size = 256;
    Image img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float fx = float(x) / size * 4.0f, fy = float(y) / size * 4.0f;
            const float w = periodicFbm(fx, fy, 4, 4, 31);
            const float n = periodicFbm(fx + w * 0.8f, fy - w * 0.8f, 4, 5, 32);
            const float lines = std::pow(1.0f - std::abs(n) * 1.0f, 10.0f);
            const float glow = 0.1f + 0.25f * (periodicFbm(fx, fy, 4, 3, 33) * 0.5f + 0.5f);
            const Rgb c = Rgb{0.05f, 0.25f, 0.8f} * glow + Rgb{0.3f, 0.6f, 1.0f} * (lines * 0.8f);
            setPixel(img, x, y, Rgb{std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)});
        }
    return img;
}

Image makePlatePicture() {
    // A round emblem: eye-like rings in an orange-white glow; alpha shapes the disc, since the
    // plate is added onto the walls as colour times alpha.
    const int size = 128;
    Image img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = (float(x) + 0.5f) / size * 2.0f - 1.0f;
            const float v = 1.0f - (float(y) + 0.5f) / size * 2.0f;
            const float r = std::hypot(u, v), a = std::atan2(v, u);
            Rgb c = Rgb{1.0f, 0.45f, 0.1f} * (0.5f + 0.5f * std::cos(r * 18.0f));
            c = c + Rgb{1.0f, 0.9f, 0.7f} * smoothstep(0.3f, 0.1f, r);
            if (r > 0.45f && r < 0.6f && std::sin(a * 12.0f) > 0.0f) c = Rgb{0.2f, 0.7f, 1.0f};
            if (std::abs(r - 0.9f) < 0.04f) c = Rgb{1.0f, 0.9f, 0.6f};
            const float alpha = smoothstep(1.0f, 0.94f, r);
            setPixel(img, x, y, Rgb{std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)}, alpha);
        }
    return img;
}
