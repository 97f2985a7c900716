#include "gl_fixture.h"

#include <GL/glu.h>

#include <random>
#include <vector>

#include "platform/web/mipmap_levels.h"
#include "scenes/particle_sprite.h"

namespace {

// The levels GLU builds, read back from the texture it filled.
std::vector<std::vector<uint8_t>> gluLevels(const uint8_t* pixels, int width, int height, GLenum format) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GLint(format), width, height, format, GL_UNSIGNED_BYTE, pixels);
    const int components = format == GL_RGBA ? 4 : 3;
    std::vector<std::vector<uint8_t>> levels;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int level = 0; width > 0 && height > 0; ++level) {
        levels.emplace_back(size_t(width) * size_t(height) * size_t(components));
        glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, levels.back().data());
        if (width == 1 && height == 1) break;
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    glDeleteTextures(1, &texture);
    return levels;
}

}  // namespace

// The browser has no GLU: its mipmaps for the particle sprite are built by our own filter,
// which must give GLU's levels byte for byte (square, long and RGB images alike).
TEST_F(GlTest, BrowserMipmapFilterGivesGluLevels) {
    std::mt19937 random(7);
    const SpriteImage sprite = makeParticleSprite();
    struct Case {
        int width, height;
        GLenum format;
        std::vector<uint8_t> pixels;
    };
    std::vector<Case> cases = {{SpriteSize, SpriteSize, GL_RGBA, {sprite.begin(), sprite.end()}},
                               {8, 2, GL_RGBA, {}}, {2, 16, GL_RGB, {}}, {32, 8, GL_RGB, {}}};
    for (Case& c : cases) {
        if (c.pixels.empty()) {
            c.pixels.resize(size_t(c.width) * size_t(c.height) * (c.format == GL_RGBA ? 4 : 3));
            for (uint8_t& v : c.pixels) v = uint8_t(random());
        }
        const auto expected = gluLevels(c.pixels.data(), c.width, c.height, c.format);
        const auto ours = boxFilterMipmaps(c.pixels.data(), c.width, c.height, c.format == GL_RGBA ? 4 : 3);
        ASSERT_EQ(ours.size(), expected.size()) << c.width << "x" << c.height;
        for (size_t level = 0; level < ours.size(); ++level)
            EXPECT_EQ(ours[level].pixels, expected[level]) << c.width << "x" << c.height << " level " << level;
    }
    EXPECT_TRUE(boxFilterMipmaps(sprite.data(), 12, 16, 4).empty());  // not a power of two
}
