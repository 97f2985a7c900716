#include "noise.h"
#include "pictures.h"
#include "text_raster.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Text on the cards is widened so that, once the 2:1 image is stretched to a 16:9 screen,
// letters keep their drawn proportions.
constexpr float CardTextWiden = 2.0f / ScreenAspect;

// Paints a mask centred at (cx, top) with a coloured glow behind it.
void paintText(Image& img, const Mask& m, int cx, int top, Rgb colour, Rgb glow, int glowRadius) {
    const int left = cx - m.width / 2;
    if (glowRadius > 0) {
        // Room around the letters so the glow fades out instead of ending at the crop.
        const int pad = glowRadius * 4;
        Mask padded;
        padded.width = m.width + 2 * pad;
        padded.height = m.height + 2 * pad;
        padded.coverage.assign(size_t(padded.width) * padded.height, 0.0f);
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x)
                padded.coverage[size_t(y + pad) * padded.width + x + pad] = m.at(x, y);
        const Mask halo = blur(padded, glowRadius);
        for (int y = 0; y < halo.height; ++y)
            for (int x = 0; x < halo.width; ++x)
                addPixel(img, left - pad + x, top - pad + y, glow * (halo.at(x, y) * 1.4f));
    }
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) blendPixel(img, left + x, top + y, colour, m.at(x, y));
}

// Deep space: coloured nebula clouds and stars.
Rgb nebula(float u, float v, uint32_t seed, Rgb a, Rgb b) {
    const float w = fbm(u * 1.3f, v * 1.3f, 4, seed);
    const float n = fbm(u * 1.8f + w * 1.5f, v * 1.8f - w, 6, seed + 1U) * 0.5f + 0.5f;
    Rgb c = mix(Rgb{0.01f, 0.0f, 0.03f}, a, smoothstep(0.35f, 0.75f, n));
    c = mix(c, b, smoothstep(0.62f, 0.95f, n) * 0.8f);
    return c;
}

void addStars(Image& img, uint32_t seed, int count) {
    for (int i = 0; i < count; ++i) {
        const int x = int(hash2(i, 1, seed) % uint32_t(img.width));
        const int y = int(hash2(i, 2, seed) % uint32_t(img.height));
        const float b = 0.3f + 0.7f * std::pow(hashUnit(i, 3, seed), 3.0f);
        addPixel(img, x, y, Rgb{b, b, b * 1.1f});
        if (b > 0.8f)
            for (int d = 1; d <= 3; ++d) {
                const float f = b * 0.35f / float(d);
                addPixel(img, x + d, y, {f, f, f}); addPixel(img, x - d, y, {f, f, f});
                addPixel(img, x, y + d, {f, f, f}); addPixel(img, x, y - d, {f, f, f});
            }
    }
}

// The carp, swimming left: spine curve, tapered body, forked tail and two fins.
constexpr float CarpHeadX = -0.75f, CarpTailX = 0.45f;  // screen units
float carpSpine(float u) { return 0.3f + 0.09f * std::sin(u * 2.6f + 0.4f); }
float carpDistance(float u, float v) {
    const float y = v - carpSpine(u);
    float d = 1.0f;
    if (u > CarpHeadX && u < CarpTailX) {
        const float s = (u - CarpHeadX) / (CarpTailX - CarpHeadX);  // 0 head .. 1 tail root
        const float half = 0.2f * std::sqrt(std::max(0.0f, 1.0f - std::pow(1.0f - 2.0f * std::min(s, 0.5f), 2.0f))) *
                           (s > 0.5f ? 1.0f - 0.72f * smoothstep(0.5f, 1.0f, s) : 1.0f);
        d = std::abs(y) - half;
    } else if (u <= CarpHeadX) {
        d = std::hypot(u - CarpHeadX, y);
    }
    // Tail: a fan that widens behind the root, with a fork cut into it.
    if (u >= CarpTailX - 0.02f) {
        const float k = u - CarpTailX;
        const float fan = std::max(std::abs(y) - (0.05f + k * 0.9f), k - 0.32f);
        const float fork = 0.12f + 0.6f * (0.32f - k) - std::abs(y) * 0.0f;
        d = std::min(d, std::max(fan, -(std::abs(y) - (k - 0.2f) * 0.8f)) + 0.0f * fork);
    }
    // Fins: a dorsal fin on the back and a pelvic fin below.
    const float dorsal = std::max(std::hypot((u + 0.05f) * 1.6f, y - 0.17f) - 0.12f, -y + 0.12f);
    const float pelvic = std::max(std::hypot((u + 0.35f) * 1.8f, y + 0.2f) - 0.09f, y + 0.12f);
    return std::min(d, std::min(dorsal, pelvic));
}

void clampAll(Image& img) {
    for (float& v : img.rgba) v = std::clamp(v, 0.0f, 1.0f);
}

}  // namespace

Image makeTitleCard() {
    Image img(1024, 512);
    paintScreen(img, [](float u, float v, int, int) {
            Rgb c = nebula(u, v, 61, {0.35f, 0.05f, 0.45f}, {0.1f, 0.65f, 0.75f});
            // A huge planet rim low on the screen, lit from behind.
            const float r = std::hypot(u * 0.7f, v + 2.25f);
            if (r < 1.5f) c = Rgb{0.02f, 0.01f, 0.04f} + Rgb{0.2f, 0.05f, 0.3f} * smoothstep(1.2f, 1.5f, r);
            c = c + Rgb{1.0f, 0.55f, 0.25f} * (std::exp(-std::abs(r - 1.5f) * 18.0f) * 1.2f);
            c = c + Rgb{0.6f, 0.2f, 0.7f} * (std::exp(-std::abs(r - 1.5f) * 4.0f) * 0.35f);
            return c;
        });
    addStars(img, 62, 700);
    const Mask title = renderLine("DejaVuSans-Bold.ttf", 124, "SOLTAREK", CardTextWiden, 6.0f, 0);
    paintText(img, title, 512, 130, {1.0f, 0.96f, 0.88f}, {1.0f, 0.45f, 0.15f}, 10);
    const Mask sub = renderLine("DejaVuSans.ttf", 58, "ASKETRO", CardTextWiden, 34.0f, 0);
    paintText(img, sub, 512, 290, {0.7f, 0.95f, 1.0f}, {0.1f, 0.5f, 0.9f}, 6);
    clampAll(img);
    return img;
}

Image makeGreetingsCard() {
    Image img(1024, 512);
    paintScreen(img, [](float u, float v, int, int) {
            Rgb c = mix(Rgb{0.02f, 0.05f, 0.12f}, Rgb{0.12f, 0.02f, 0.15f}, 0.5f + 0.5f * u / ScreenAspect);
            // Slow diagonal light bands.
            c = c + Rgb{0.05f, 0.12f, 0.2f} * std::pow(0.5f + 0.5f * std::sin(u * 2.0f + v * 3.0f), 6.0f);
            return c;
        });
    addStars(img, 77, 250);
    const Mask title = renderLine("DejaVuSans-Bold.ttf", 64, "GREETINGS", CardTextWiden, 10.0f, 0);
    paintText(img, title, 512, 36, {1.0f, 0.9f, 0.4f}, {0.9f, 0.4f, 0.05f}, 8);
    // Invented groups only.
    const std::vector<std::string> names = {
        "Quillfrost",     "Velvet Orrery", "Corvid Lattice", "Brassmoon",
        "Kelpfire",       "Nullwhistle",   "Saffron Engine", "Tarnwhistle",
        "Ombrevax",       "Hexaferrum",    "Moth & Lantern", "Pale Cartography"};
    for (size_t i = 0; i < names.size(); ++i) {
        const Mask m = renderLine("DejaVuSans.ttf", 34, names[i], CardTextWiden, 1.0f, 0);
        const int column = int(i % 2), row = int(i / 2);
        const Rgb colour = hsv(0.5f + 0.07f * float(i), 0.35f, 1.0f);
        paintText(img, m, column == 0 ? 300 : 724, 150 + row * 56, colour, colour * 0.35f, 4);
    }
    clampAll(img);
    return img;
}

Image makeLogoCard() {
    Image img(1024, 512);
    // A carp drawn in light over dark water rings.
    paintScreen(img, [](float u, float v, int, int) {
            const float r = std::hypot(u, v - 0.3f);
            Rgb c = Rgb{0.0f, 0.02f, 0.05f} + Rgb{0.0f, 0.08f, 0.12f} * (0.5f + 0.5f * std::sin(r * 30.0f - 1.0f)) *
                                                  std::exp(-r * 1.6f);
            const float d = carpDistance(u, v);
            const float core = smoothstep(0.01f, -0.01f, d);
            const float halo = std::exp(-std::max(d, 0.0f) * 14.0f);
            // Scales: rows of arcs inside the body.
            const float sx = fract(u * 14.0f), sy = fract(v * 14.0f + (int(std::floor(u * 14.0f)) % 2) * 0.5f);
            const float arc = smoothstep(0.08f, 0.0f, std::abs(std::hypot(sx - 0.0f, sy - 0.5f) - 0.5f));
            const Rgb body = mix(Rgb{1.0f, 0.55f, 0.15f}, Rgb{1.0f, 0.92f, 0.75f}, smoothstep(-0.06f, -0.005f, d));
            c = c + Rgb{1.0f, 0.5f, 0.15f} * (halo * 0.55f) + (body - Rgb{0.25f, 0.2f, 0.1f} * arc) * core;
            // Eye.
            if (std::hypot(u - CarpHeadX - 0.1f, v - carpSpine(CarpHeadX + 0.1f) - 0.03f) < 0.025f) c = Rgb{0.08f, 0.03f, 0.0f};
            return c;
        });
    const Mask name = renderLine("DejaVuSans-Bold.ttf", 92, "LUMENKARP", CardTextWiden, 14.0f, 0);
    paintText(img, name, 512, 330, {1.0f, 0.95f, 0.85f}, {1.0f, 0.5f, 0.15f}, 9);
    const Mask sub = renderLine("DejaVuSans.ttf", 26, "light swims upstream", CardTextWiden, 6.0f, 0);
    paintText(img, sub, 512, 450, {0.6f, 0.8f, 0.9f}, {0.1f, 0.3f, 0.4f}, 3);
    clampAll(img);
    return img;
}
