#include "gl_fixture.h"
#include "scene_textures.h"

#include <cmath>

#include "scenes/opening_scene.h"
#include "scenes/particle_scene.h"
#include "scenes/picture_scene.h"
#include "scenes/warp_scenes.h"
#include "texture/texture_names.h"
#include "texture/texture_sets.h"

namespace {

std::array<float, 4> currentColour() {
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    return colour;
}

}  // namespace

TEST_F(GlTest, OpeningSceneLeavesFogAndFlashColourThatThePictureOverrides) {
    cubeTexture = makeSolidTexture({255, 255, 255, 255});
    pictureTextures[0] = makeSolidTexture({200, 100, 50, 255});
    const GLint projectionDepth = glInteger(GL_PROJECTION_STACK_DEPTH);

    drawOpeningScene(1000);  // start-up was slow: beat 75 is due on the first frame
    EXPECT_TRUE(openingFlashState().active);
    const auto flashed = pixelAt(32, 20);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(glInteger(GL_FOG_MODE), GL_LINEAR);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));  // the flash turned it off
    EXPECT_EQ(currentColour(), (std::array<float, 4>{1, 1, 1, 0.8f}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE);
    EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), projectionDepth);

    glClear(GL_COLOR_BUFFER_BIT);
    drawOpeningScene(1016);  // flash over: fogged cube only, in the flash's colour
    EXPECT_FALSE(openingFlashState().active);
    const auto fogged = pixelAt(32, 20);
    EXPECT_GT(fogged[0], 40);   // a wall 3 to 5 units away in fog that ends at 8
    EXPECT_LT(fogged[0], 200);
    EXPECT_GT(flashed[0], fogged[0]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    // Scene 1 starts from this state: the picture still shows its exact colours.
    glClear(GL_COLOR_BUFFER_BIT);
    drawPicture(0);
    EXPECT_EQ(pixelAt(5, 5), (std::array<uint8_t, 4>{200, 100, 50, 255}));
    EXPECT_EQ(pixelAt(60, 35), (std::array<uint8_t, 4>{200, 100, 50, 255}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, ParticlesAreTexturedBecauseTheWarpLeavesTexturingOn) {
    createContext(400, 400);
    glGenTextures(1, &warpTexture);
    initParticles();
    EXPECT_GE(particleSpriteName(), OwnTextureNameBase);
    EXPECT_NE(particleSpriteName(), warpTexture);
    glDisable(GL_TEXTURE_2D);
    drawWarpStill();
    drawParticleScene(30000);  // clears the frame itself

    // A particle whose square no other particle touches, near z = 0 (little fog).
    const ParticleCloud& cloud = particleCloud();
    int chosen = -1;
    for (int i = 0; i < ParticleCount && chosen < 0; ++i) {
        const Particle& p = cloud[std::size_t(i)];
        // Drawn before it moved this frame: its square starts at (x - vx, y - vy).
        if (std::fabs(p.z) > 0.3f || std::fabs(p.x) > 0.9f || std::fabs(p.y) > 0.9f) continue;
        bool alone = true;
        for (int j = 0; j < ParticleCount && alone; ++j) {
            const Particle& q = cloud[std::size_t(j)];
            alone = j == i || std::fabs(q.x - p.x) > 0.07f || std::fabs(q.y - p.y) > 0.07f;
        }
        if (alone) chosen = i;
    }
    ASSERT_GE(chosen, 0);
    const Particle& p = cloud[std::size_t(chosen)];
    auto pixelOf = [&](double nx, double ny) {
        return pixelAt(int((nx + 1) / 2 * 400), int((1 - ny) / 2 * 400));
    };
    const double x = p.x - p.vx, y = p.y - p.vy;
    const auto centre = pixelOf(x + 0.025, y + 0.025);
    const auto corner = pixelOf(x + 0.002, y + 0.002);
    EXPECT_EQ(centre[0], 0);
    EXPECT_EQ(centre[1], 0);
    EXPECT_GT(centre[2], 150);                 // blue 100 clamps to 1, alpha 0.9, little fog
    EXPECT_LT(corner[2] * 4, int(centre[2]));  // the sprite's soft, empty corner
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
