#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "font/text_layout.h"
#include "scenes/particles.h"

// The fragment work of a scene's frames, described as layers: the pixels drawn under one GL
// state, how much of the screen they cover and with how many primitives. demo-bench draws
// the same work again with the fewest calls (reference_frame.h) as the scene's own reference.

namespace bench {

// The GL state of one layer, the part that decides what a fragment costs.
struct LayerState {
    uint32_t texture = 0;         // GL texture name (its filters come with it); 0: untextured
    float repeatsAcross = 1;      // texture repeats over the screen's width and height, so
    float repeatsDown = 1;        // that texels fall on pixels about as densely as in the scene
    bool fog = false;             // linear black fog, as the opening scene sets it
    int blendSource = 0;          // GL blend factors; both 0: blending off
    int blendDestination = 0;
    bool depthTest = false;       // the framebuffer has no depth buffer: enabled, it passes
    float alpha = 1;              // alpha of the (white) primitive colour, 0..1

    bool operator==(const LayerState&) const = default;
};

// One layer's work, summed over the frames surveyed.
struct LayerWork {
    LayerState state;
    double screens = 0;     // area drawn in whole screens (overdraw counts every time)
    double primitives = 0;  // quads, strips or glyphs drawn
};

// What one scene's frames drew.
struct ScenePixels {
    int frames = 0;               // frames surveyed
    int clearsPerFrame = 1;       // full-screen clears in each frame
    std::vector<LayerWork> layers;

    // Adds work to the layer with this state, or starts a new layer after the others.
    void add(const LayerState& state, double screens, double primitives);
    // Screens and primitives per frame over every layer (0 without frames).
    double screensPerFrame() const;
    double primitivesPerFrame() const;
};

// Area of the screen the particles cover, in screens: each sprite's square clipped to the
// NDC square, none for a particle beyond the near or far plane (|z| > 1).
double particleScreens(std::span<const Particle> particles);

// Area of glyph quads in the 320 x 200 overlay, clipped to it, in screens.
double glyphScreens(std::span<const GlyphQuad> glyphs);

// An axis-aligned rectangle in NDC (-1..1).
struct NdcRect {
    float left = -1, bottom = -1, right = 1, top = 1;
};

// Rectangles that cover `screens` screens with the fewest quads: a full-screen quad for
// every whole screen, then one full-width strip from the bottom for the rest.
std::vector<NdcRect> coveringQuads(double screens);

// The reference frame of a scene: its clears, then each layer's quads under its state.
struct ReferenceLayer {
    LayerState state;
    std::vector<NdcRect> quads;  // the covering quads, then one one-pixel quad per primitive
};
struct ReferencePlan {
    int clears = 0;
    std::vector<ReferenceLayer> layers;
};

// The same work as one average frame of `pixels` on a width x height screen: each layer's
// area per frame as covering quads, and its primitives per frame (rounded) as quads of one
// pixel each, spread over the screen, which cost their set-up and next to no pixels.
ReferencePlan planReference(const ScenePixels& pixels, int width, int height);

}  // namespace bench
