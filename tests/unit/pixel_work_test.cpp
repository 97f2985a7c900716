#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>

#include "pixel_work.h"

using namespace bench;

TEST(PixelWork, ParticleAndGlyphAreasAreClippedToTheScreen) {
    std::array<Particle, 4> particles{};
    particles[0].x = 0.1f;   // wholly inside: 0.05 x 0.05 of the 2 x 2 NDC square
    particles[1].x = 0.98f;  // 0.02 of its width inside
    particles[2].z = 1.5f;   // beyond the far plane: clipped whole
    particles[3].x = -1.2f;  // wholly left of the screen
    EXPECT_NEAR(particleScreens(particles), (0.0025 + 0.001) / 4, 1e-7);

    std::array<GlyphQuad, 3> glyphs{};
    glyphs[0] = {0, 0, 32, 20};        // 640 of 64000 units
    glyphs[1] = {310, 190, 330, 210};  // a 10 x 10 corner inside
    glyphs[2] = {-40, 0, -8, 20};      // left of the overlay
    EXPECT_DOUBLE_EQ(glyphScreens(glyphs), 740.0 / 64000.0);
}

TEST(PixelWork, LayersOfOneStateAddUpAndThePlanCoversTheirAveragePerFrame) {
    LayerState blended;
    blended.texture = 3;
    blended.blendSource = GL_SRC_ALPHA;
    blended.blendDestination = GL_ONE;
    LayerState flat = blended;
    flat.texture = 0;

    ScenePixels pixels;
    pixels.frames = 2;
    pixels.add(blended, 1.0, 6);
    pixels.add(flat, 1.0, 1);    // a flash in one of the two frames
    pixels.add(blended, 1.5, 6);
    ASSERT_EQ(pixels.layers.size(), 2u);
    EXPECT_EQ(pixels.layers[0].state, blended);
    EXPECT_DOUBLE_EQ(pixels.screensPerFrame(), 1.75);
    EXPECT_DOUBLE_EQ(pixels.primitivesPerFrame(), 6.5);

    constexpr int Width = 200, Height = 100;
    const ReferencePlan plan = planReference(pixels, Width, Height);
    ASSERT_EQ(plan.layers.size(), 2u);
    const std::array<double, 2> screens = {1.25, 0.5};
    const std::array<size_t, 2> areaQuads = {2, 1};  // a whole screen and a strip; a strip
    const std::array<size_t, 2> primitives = {6, 1};  // (0.5 rounds to 1)
    for (size_t i = 0; i < 2; ++i) {
        const ReferenceLayer& layer = plan.layers[i];
        ASSERT_EQ(layer.quads.size(), areaQuads[i] + primitives[i]);
        double area = 0;
        for (size_t q = 0; q < layer.quads.size(); ++q) {
            const NdcRect& r = layer.quads[q];
            EXPECT_GE(r.left, -1);
            EXPECT_GE(r.bottom, -1);
            EXPECT_LE(r.right, 1);
            EXPECT_LE(r.top, 1);
            if (q < areaQuads[i]) {
                area += (r.right - r.left) * (r.top - r.bottom) / 4.0;
            } else {  // one pixel each
                EXPECT_NEAR((r.right - r.left) * Width / 2.0, 1.0, 1e-4);
                EXPECT_NEAR((r.top - r.bottom) * Height / 2.0, 1.0, 1e-4);
            }
        }
        EXPECT_NEAR(area, screens[i], 1e-6);
    }
    EXPECT_TRUE(planReference(ScenePixels{}, Width, Height).layers.empty());
}
