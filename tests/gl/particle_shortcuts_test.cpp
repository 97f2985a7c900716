// The particle scene draws its sprites with fog folded into their colours and, where they
// are only magnified, without the mipmap level choice. Both rest on this driver computing
// exactly the same bytes either way; this checks it on sprites like the scene's.
#include <GL/glu.h>

#include <vector>

#include "gl_fixture.h"
#include "render/matrix_stack.h"
#include "scenes/particle_shortcuts.h"
#include "scenes/particle_sprite.h"

namespace {

constexpr int Width = 1280, Height = 720;

struct Sprite {
    float x, y, z;
};

void drawSprites(const std::vector<Sprite>& sprites, const FogState* foldedFog) {
    for (const Sprite& s : sprites) {
        const float f = foldedFog != nullptr ? foldedFogFactor(*foldedFog, s.z) : 1.0f;
        glColor4f(0.0f, 0.0f, foldedFog != nullptr ? f : 100.0f, 0.9f);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2d(1, 1);
        glVertex3f(s.x + 0.05f, s.y, s.z);
        glTexCoord2d(0, 1);
        glVertex3f(s.x, s.y, s.z);
        glTexCoord2d(1, 0);
        glVertex3f(s.x + 0.05f, s.y + 0.05f, s.z);
        glTexCoord2d(0, 0);
        glVertex3f(s.x, s.y + 0.05f, s.z);
        glEnd();
    }
}

}  // namespace

TEST_F(GlTest, FoldedFogAndPlainMagnificationDrawTheSameBytes) {
    createContext(Width, Height);
    ASSERT_TRUE(spriteOnlyMagnified(Width, Height));
    GLuint sprite = 0;
    glGenTextures(1, &sprite);
    glBindTexture(GL_TEXTURE_2D, sprite);
    const SpriteImage image = makeParticleSprite();
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, SpriteSize, SpriteSize, GL_RGBA, GL_UNSIGNED_BYTE,
                      image.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 8.0f);
    glFogf(GL_FOG_MODE, float(GL_LINEAR));
    pushIdentityMatrices();
    // Overlapping sprites at odd positions and depths on both sides of the eye.
    std::vector<Sprite> sprites;
    for (int i = 0; i < 400; ++i)
        sprites.push_back({-0.97f + float((i * 37) % 191) / 100.0f, -0.97f + float((i * 53) % 193) / 100.0f,
                           -0.999f + float((i * 71) % 1999) / 1000.0f});

    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_FOG);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    drawSprites(sprites, nullptr);
    const std::vector<uint8_t> fogged = context->readPixelsTopDown();

    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_FOG);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    const FogState fog{true, GL_LINEAR, 0.0f, 8.0f};
    drawSprites(sprites, &fog);
    const std::vector<uint8_t> folded = context->readPixelsTopDown();
    popMatrices();

    size_t lit = 0;
    for (size_t i = 2; i < fogged.size(); i += 4) lit += fogged[i] > 0;
    EXPECT_GT(lit, size_t(Width * Height / 20));  // the sprites really were drawn
    EXPECT_TRUE(fogged == folded);
}
