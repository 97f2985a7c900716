#include <algorithm>

#include "../support/tga_bytes.h"
#include "font/font_manager.h"
#include "gl_fixture.h"
#include "texture/texture_manager.h"
#include "texture/texture_names.h"
#include "texture/texture_sets.h"

using testdata::Bytes;

namespace {

// A distinct opaque colour for each number.
Bytes colourOf(uint32_t n) { return {uint8_t(n * 13), uint8_t(255 - n), uint8_t(n * 7 + 1), 255}; }

Bytes levelZero(GLuint name) {
    Bytes rgba(4 * 4 * 4, 0);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

Bytes solid4x4(const Bytes& colour) {
    Bytes rgba;
    for (int i = 0; i < 16; ++i) rgba.insert(rgba.end(), colour.begin(), colour.end());
    return rgba;
}

void writeSolid(const std::string& path, uint32_t n) {
    const Bytes c = colourOf(n);
    testdata::writeFile(path, testdata::solidTga(4, 4, c[0], c[1], c[2]));
}

}  // namespace

// The start-up order, a sprite name taken the way the particle scene takes it, and the
// fonts loaded later: every own name stays clear of every id, and no image is overwritten.
TEST_F(GlTest, StartUpIdsAndOwnNamesNeverMeet) {
    testdata::ScratchDir dir;
    uint32_t n = 1;
    for (const std::string& file : pictureFiles) writeSolid(file, n++);
    writeSolid("data/texture.tga", 14);
    writeSolid("data/blueTex.tga", 15);
    writeSolid("data/divozed.tga", 16);
    writeSolid("data/font0.tga", 17);
    writeSolid("data/font1.tga", 18);
    testdata::writeText("data/fonts.data", "mapfile xspace yspace\ndata/font0.tga 0 0\ndata/font1.tga 1 1\n");

    loadPictureSet();
    loadCubeTexture();
    reserveWarpTexture();
    loadBoxAndPlateTextures();
    for (uint32_t i = 0; i < 13; ++i) EXPECT_EQ(pictureTextures[i], i + 1);
    EXPECT_EQ(cubeTexture, 14u);
    EXPECT_EQ(boxTexture, 15u);
    EXPECT_EQ(plateTexture, 16u);
    EXPECT_EQ(TextureManager::instance()->getTexture(1)->fileName, "data/start.tga");
    EXPECT_EQ(TextureManager::instance()->getTexture(13)->fileName, "data/lumenkarp.tga");

    glBindTexture(GL_TEXTURE_2D, warpTexture);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);

    const uint32_t sprite = reserveOwnTextureName();
    EXPECT_EQ(FontManager::instance()->fontTextures, (std::vector<uint32_t>{17, 18}));

    // The own names get images of their own after all loads, as the scenes do per frame.
    const Bytes warpImage = solid4x4({1, 2, 3, 255}), spriteImage = solid4x4({4, 5, 6, 255});
    glBindTexture(GL_TEXTURE_2D, warpTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, warpImage.data());
    glBindTexture(GL_TEXTURE_2D, sprite);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, spriteImage.data());

    EXPECT_NE(warpTexture, sprite);
    for (uint32_t own : {warpTexture, sprite}) {
        EXPECT_GE(own, OwnTextureNameBase);
        for (uint32_t id = 1; id <= 18; ++id) {
            EXPECT_NE(own, id);
            EXPECT_NE(own, TextureManager::instance()->getTexture(id)->glName) << id;
        }
    }
    for (uint32_t id = 1; id <= 18; ++id) EXPECT_EQ(levelZero(id), solid4x4(colourOf(id))) << id;
    EXPECT_EQ(levelZero(warpTexture), warpImage);
    EXPECT_EQ(levelZero(sprite), spriteImage);
}

TEST_F(GlTest, MissingStartUpFilesStillGiveTheFixedIds) {
    testdata::ScratchDir dir;
    writeSolid("data/blueTex.tga", 15);
    loadPictureSet();
    loadCubeTexture();
    reserveWarpTexture();
    loadBoxAndPlateTextures();
    EXPECT_EQ(pictureTextures[12], 13u);
    EXPECT_EQ(boxTexture, 15u);
    EXPECT_EQ(plateTexture, 16u);
    EXPECT_EQ(levelZero(boxTexture), solid4x4(colourOf(15)));
    EXPECT_GE(warpTexture, OwnTextureNameBase);
}
