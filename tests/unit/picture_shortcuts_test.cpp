#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "scenes/particle_shortcuts.h"
#include "scenes/picture_shortcuts.h"

TEST(PictureShortcuts, OpacityLooksAtEveryAlphaByteAndOnlyAtAlpha) {
    std::vector<uint8_t> rgba(4 * 5, 0);  // colour bytes 0: only alpha may count
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    EXPECT_TRUE(imageIsOpaque(rgba.data(), 5, 4));
    rgba.back() = 254;  // the last pixel, slightly translucent
    EXPECT_FALSE(imageIsOpaque(rgba.data(), 5, 4));
    rgba.back() = 255;
    rgba[3] = 0;  // the first one, clear
    EXPECT_FALSE(imageIsOpaque(rgba.data(), 5, 4));
    const std::vector<uint8_t> rgb(3 * 5, 0);
    EXPECT_TRUE(imageIsOpaque(rgb.data(), 5, 3));       // no alpha channel
    EXPECT_FALSE(imageIsOpaque(nullptr, 5, 4));         // no pixels to look at
}

TEST(PictureShortcuts, FogIsSkippedOnlyWhenItsFactorAtTheEyeIsOne) {
    EXPECT_TRUE(fogIsIdentityAtEye({true, GL_LINEAR, 0.0f, 8.0f}));  // the opening scene's fog
    EXPECT_FALSE(fogIsIdentityAtEye({true, GL_LINEAR, 1.0f, 8.0f}));  // 8/7 clamps, but not 0
    EXPECT_FALSE(fogIsIdentityAtEye({true, GL_LINEAR, 0.0f, 0.0f}));
    EXPECT_FALSE(fogIsIdentityAtEye({true, GL_EXP, 0.0f, 8.0f}));
}

TEST(PictureShortcuts, BlendingIsSkippedOnlyWhenTheSourceReplacesTheFrame) {
    const float black[4] = {0, 0, 0, 0};
    const float grey[4] = {0.5f, 0.5f, 0.5f, 0};
    // Over-blending of an opaque source replaces any destination.
    EXPECT_TRUE(blendIsIdentityForOpaque(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, false, grey));
    // Additive blending only onto a frame just cleared to black.
    EXPECT_TRUE(blendIsIdentityForOpaque(GL_SRC_ALPHA, GL_ONE, true, black));
    EXPECT_FALSE(blendIsIdentityForOpaque(GL_SRC_ALPHA, GL_ONE, true, grey));
    EXPECT_FALSE(blendIsIdentityForOpaque(GL_SRC_ALPHA, GL_ONE, false, black));
    EXPECT_FALSE(blendIsIdentityForOpaque(GL_ONE, GL_ONE, true, black));
}

TEST(ParticleShortcuts, FogFoldsOnlyForExactFactorsBlackFogAndZeroOrOneChannels) {
    const FogState opening{true, GL_LINEAR, 0.0f, 8.0f};
    std::vector<Particle> particles(3);
    for (Particle& p : particles) p.blue = 100.0f;  // the scene's colour, clamped to 1
    EXPECT_TRUE(fogFoldsIntoParticleColour(opening, particles));
    EXPECT_FLOAT_EQ(foldedFogFactor(opening, -2.0f), 0.75f);
    EXPECT_EQ(foldedFogFactor(opening, 0.0f), 1.0f);
    EXPECT_EQ(foldedFogFactor(opening, 9.0f), 0.0f);

    FogState other = opening;
    other.end = 6.0f;  // 1/6 is not exact
    EXPECT_FALSE(fogFoldsIntoParticleColour(other, particles));
    other = opening;
    other.start = 0.5f;
    EXPECT_FALSE(fogFoldsIntoParticleColour(other, particles));
    other = opening;
    other.colour = {0.0f, 0.0f, 0.2f, 0.0f};
    EXPECT_FALSE(fogFoldsIntoParticleColour(other, particles));
    other = opening;
    other.mode = GL_EXP;
    EXPECT_FALSE(fogFoldsIntoParticleColour(other, particles));
    EXPECT_FALSE(fogFoldsIntoParticleColour(FogState{}, particles));  // fog off: nothing to fold
    particles[2].red = 0.5f;  // t * (0.5 * f) may round apart from (t * 0.5) * f
    EXPECT_FALSE(fogFoldsIntoParticleColour(opening, particles));
}

TEST(ParticleShortcuts, SpritesAreOnlyMagnifiedFrom640PixelsOnBothAxes) {
    EXPECT_TRUE(spriteOnlyMagnified(1920, 1080));
    EXPECT_TRUE(spriteOnlyMagnified(640, 640));
    EXPECT_FALSE(spriteOnlyMagnified(1280, 639));
    EXPECT_FALSE(spriteOnlyMagnified(639, 1280));
}
