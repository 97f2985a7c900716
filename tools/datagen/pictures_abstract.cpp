#include "noise.h"
#include "pictures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float Pi = 3.14159265f;

// 1: a sunburst of hot rays from an off-centre sun ringed by bands, over deep violet.
Rgb sunburst(float u, float v) {
    const float dx = u + 0.55f, dy = v + 0.25f;
    const float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
    const float rays = std::sin(a * 18.0f + r * 1.5f);
    Rgb c = rays > 0.0f ? Rgb{1.0f, 0.25f, 0.05f} : Rgb{0.35f, 0.02f, 0.45f};
    if (rays > 0.0f && std::sin(a * 6.0f) > 0.55f) c = {1.0f, 0.85f, 0.1f};
    const float band = std::sin(r * 22.0f);
    if (r < 1.1f && band > 0.2f) c = mix(c, {1.0f, 0.1f, 0.55f}, 0.85f);
    if (r < 0.45f) c = {1.0f, 0.95f, 0.6f};
    if (std::abs(r - 0.52f) < 0.035f || std::abs(r - 1.14f) < 0.02f) c = {0.02f, 0.0f, 0.05f};
    return c;
}

// 2: hard-edged geometric composition: discs, a quarter ring, bars and stripes.
Rgb bauhaus(float u, float v) {
    Rgb c{0.03f, 0.12f, 0.55f};
    if (std::fmod(std::abs(u * 0.7f + v + 4.0f), 0.32f) < 0.12f) c = {0.05f, 0.2f, 0.75f};
    const float d1 = std::hypot(u - 0.55f, v - 0.2f);
    if (d1 < 0.62f) c = {1.0f, 0.82f, 0.0f};
    if (d1 < 0.62f && v < 0.2f - (u - 0.55f) * 0.3f) c = {1.0f, 0.55f, 0.0f};
    const float d2 = std::hypot(u + 1.1f, v + 1.0f);
    if (d2 > 0.75f && d2 < 1.25f && u > -1.1f && v > -1.0f) c = {0.92f, 0.08f, 0.1f};
    const float bar = u * 0.8f - v * 0.6f;
    if (std::abs(bar + 0.35f) < 0.09f) c = {0.02f, 0.02f, 0.02f};
    if (std::abs(bar - 1.15f) < 0.05f) c = {0.95f, 0.95f, 0.9f};
    if (v > 0.55f && v < 0.85f && u < -0.3f && u > -1.5f && std::fmod(u + 2.0f, 0.18f) < 0.09f)
        c = {0.95f, 0.95f, 0.9f};
    if (std::hypot(u + 0.3f, v - 0.1f) < 0.16f) c = {0.92f, 0.08f, 0.1f};
    if (std::abs(v + 0.75f) < 0.04f && u > 0.1f) c = {0.02f, 0.02f, 0.02f};
    return c;
}

// 3: domain-warped noise through a cyan-magenta-yellow palette, banded for contrast.
Rgb plasma(float u, float v) {
    const float qx = fbm(u * 1.2f, v * 1.2f, 4, 11);
    const float qy = fbm(u * 1.2f + 5.2f, v * 1.2f + 1.3f, 4, 12);
    const float f = fbm(u * 1.5f + 3.0f * qx, v * 1.5f + 3.0f * qy, 5, 13);
    const float t = f * 2.2f + 0.5f;
    Rgb c{0.5f + 0.5f * std::cos(2 * Pi * (t + 0.0f)), 0.5f + 0.5f * std::cos(2 * Pi * (t + 0.33f)),
          0.5f + 0.5f * std::cos(2 * Pi * (t + 0.67f))};
    const float band = smoothstep(0.0f, 0.08f, std::abs(std::sin(t * 9.0f)) - 0.1f);
    c = c * (0.15f + 0.85f * band);
    return {std::pow(c.r, 0.8f), std::pow(c.g, 0.8f), std::pow(c.b, 0.8f)};
}

// 4: stained glass: Voronoi cells in saturated colours with black leading and a glow.
Rgb stainedGlass(float u, float v) {
    const float s = 3.2f;
    const float px = u * s, py = v * s;
    const int cx = int(std::floor(px)), cy = int(std::floor(py));
    float d1 = 9.0f, d2 = 9.0f;
    uint32_t id = 0;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const float ox = float(cx + i) + 0.15f + 0.7f * hashUnit(cx + i, cy + j, 41);
            const float oy = float(cy + j) + 0.15f + 0.7f * hashUnit(cx + i, cy + j, 42);
            const float d = std::hypot(px - ox, py - oy);
            if (d < d1) { d2 = d1; d1 = d; id = hash2(cx + i, cy + j, 43); }
            else if (d < d2) d2 = d;
        }
    const float hue = float(id % 360) / 360.0f;
    Rgb c = hsv(hue, 0.9f, 1.0f) * (1.15f - 0.9f * d1);
    const float edge = d2 - d1;
    if (edge < 0.07f) c = Rgb{0.0f, 0.0f, 0.0f};
    else c = c * smoothstep(0.07f, 0.16f, edge) + Rgb{0.1f, 0.1f, 0.1f};
    return c;
}

// 5: op-art: a polar checkerboard twisted into a spiral, lime and magenta over black.
Rgb opArt(float u, float v) {
    const float r = std::hypot(u - 0.2f, v), a = std::atan2(v, u - 0.2f);
    const float rings = std::floor(std::log(r + 0.02f) * 6.0f);
    const float sectors = std::floor((a / (2 * Pi) + r * 0.35f) * 24.0f);
    const bool on = int(rings + sectors) % 2 == 0;
    const float shade = 0.45f + 0.55f * std::cos(r * 2.2f);
    Rgb c = on ? Rgb{0.55f, 1.0f, 0.05f} * shade : Rgb{0.0f, 0.0f, 0.0f};
    if (!on && std::sin(a * 3.0f + r * 4.0f) > 0.3f) c = Rgb{1.0f, 0.05f, 0.65f} * shade;
    return c;
}

}  // namespace

Rgb hsv(float h, float s, float v) {
    const float r = std::clamp(std::abs(fract(h + 1.0f) * 6.0f - 3.0f) - 1.0f, 0.0f, 1.0f);
    const float g = std::clamp(std::abs(fract(h + 2.0f / 3.0f) * 6.0f - 3.0f) - 1.0f, 0.0f, 1.0f);
    const float b = std::clamp(std::abs(fract(h + 1.0f / 3.0f) * 6.0f - 3.0f) - 1.0f, 0.0f, 1.0f);
    return Rgb{1 + (r - 1) * s, 1 + (g - 1) * s, 1 + (b - 1) * s} * v;
}

Image makeAbstractPicture(int number) {
    Image img(512, 512);
    // 2x2 supersampling keeps the hard edges clean.
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            Rgb sum;
            for (int s = 0; s < 4; ++s) {
                float u, v;
                screenCoords(img, x, y, u, v);
                u += (float(s % 2) - 0.5f) * ScreenAspect / float(img.width);
                v += (float(s / 2) - 0.5f) / float(img.height);
                switch (number) {
                    case 1: sum = sum + sunburst(u, v); break;
                    case 2: sum = sum + bauhaus(u, v); break;
                    case 3: sum = sum + plasma(u, v); break;
                    case 4: sum = sum + stainedGlass(u, v); break;
                    default: sum = sum + opArt(u, v); break;
                }
            }
            setPixel(img, x, y, sum * 0.25f);
        }
    return img;
}
