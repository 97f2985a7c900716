#include "pixel_work.h"

#include <algorithm>
#include <cmath>

namespace bench {

namespace {

constexpr double SpriteSide = 0.05;  // NDC, as the particle scene draws it
constexpr double OverlayWidth = 320, OverlayHeight = 200;

// Length of [low, high] inside [-1, 1].
double insideUnit(double low, double high) {
    return std::max(0.0, std::min(high, 1.0) - std::max(low, -1.0));
}

}  // namespace

void ScenePixels::add(const LayerState& state, double screens, double primitives) {
    for (LayerWork& layer : layers) {
        if (layer.state == state) {
            layer.screens += screens;
            layer.primitives += primitives;
            return;
        }
    }
    layers.push_back({state, screens, primitives});
}

double ScenePixels::screensPerFrame() const {
    double sum = 0;
    for (const LayerWork& layer : layers) sum += layer.screens;
    return frames > 0 ? sum / frames : 0;
}

double ScenePixels::primitivesPerFrame() const {
    double sum = 0;
    for (const LayerWork& layer : layers) sum += layer.primitives;
    return frames > 0 ? sum / frames : 0;
}

double particleScreens(std::span<const Particle> particles) {
    double area = 0;  // NDC units, 4 per screen
    for (const Particle& p : particles) {
        if (!(std::fabs(p.z) <= 1.0f)) continue;
        area += insideUnit(p.x, p.x + SpriteSide) * insideUnit(p.y, p.y + SpriteSide);
    }
    return area / 4.0;
}

double glyphScreens(std::span<const GlyphQuad> glyphs) {
    double area = 0;  // overlay units
    for (const GlyphQuad& g : glyphs) {
        const double width = std::clamp<double>(double(g.right), 0, OverlayWidth) -
                             std::clamp<double>(double(g.left), 0, OverlayWidth);
        const double height = std::clamp<double>(double(g.bottom), 0, OverlayHeight) -
                              std::clamp<double>(double(g.top), 0, OverlayHeight);
        area += std::max(0.0, width) * std::max(0.0, height);
    }
    return area / (OverlayWidth * OverlayHeight);
}

std::vector<NdcRect> coveringQuads(double screens) {
    std::vector<NdcRect> quads;
    if (!(screens > 0)) return quads;
    const double whole = std::floor(screens);
    for (double i = 0; i < whole; ++i) quads.push_back(NdcRect{});
    const double rest = screens - whole;
    if (rest > 0) quads.push_back({-1, -1, 1, float(-1 + 2 * rest)});
    return quads;
}

ReferencePlan planReference(const ScenePixels& pixels, int width, int height) {
    ReferencePlan plan;
    if (pixels.frames <= 0 || width <= 0 || height <= 0) return plan;
    plan.clears = pixels.clearsPerFrame;
    for (const LayerWork& layer : pixels.layers) {
        ReferenceLayer out{layer.state, coveringQuads(layer.screens / pixels.frames)};
        const long primitives = std::lround(layer.primitives / pixels.frames);
        for (long i = 0; i < primitives; ++i) {
            const long x = (i * 97) % width, y = (i * 59) % height;  // pixel, from the bottom left
            const auto left = float(2.0 * double(x) / width - 1);
            const auto bottom = float(2.0 * double(y) / height - 1);
            out.quads.push_back({left, bottom, left + 2.0f / float(width), bottom + 2.0f / float(height)});
        }
        plan.layers.push_back(std::move(out));
    }
    return plan;
}

}  // namespace bench
