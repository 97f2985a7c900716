#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "../support/tga_bytes.h"
#include "deleted_textures.h"
#include "font/font_manager.h"
#include "gl_fixture.h"
#include "texture/texture_manager.h"
#include "texture/tga_reader.h"

using testdata::Bytes;
using testdata::operator+;

namespace {

GLint textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

// The level-0 image of a GL texture name, read back in the given format.
Bytes readBack(GLuint name, GLenum format, size_t bytes) {
    Bytes pixels(bytes, 0xCD);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

GLint levelWidth(GLuint name) {
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    return width;
}

}  // namespace

TEST_F(GlTest, IdsCountLoadsFromOneAndRepeatedFilesGetNewSlots) {
    testdata::ScratchDir dir;
    testdata::writeFile("a.tga", testdata::solidTga(2, 2, 255, 0, 0));
    testdata::writeFile("b.tga", testdata::solidTga(2, 2, 0, 255, 0));
    TextureManager* textures = TextureManager::instance();
    EXPECT_EQ(textures, TextureManager::instance());
    EXPECT_EQ(textures->loadTexture("a.tga", 0), 1u);
    EXPECT_EQ(textures->loadTexture("b.tga", 0.5f), 2u);
    EXPECT_EQ(textures->loadTexture("a.tga", 0), 3u);
    EXPECT_EQ(textures->getTexture(0), nullptr);
    EXPECT_EQ(textures->getTexture(4), nullptr);
    EXPECT_EQ(textures->getTexture(2)->fileName, "b.tga");
    EXPECT_FLOAT_EQ(textures->getTexture(2)->priority, 0.5f);
    EXPECT_NE(textures->getTexture(1), textures->getTexture(3));
    EXPECT_EQ(readBack(1, GL_RGBA, 16), readBack(3, GL_RGBA, 16));
    const Bytes green{0, 255, 0, 255};
    EXPECT_EQ(readBack(2, GL_RGBA, 16), green + green + green + green);
}

TEST_F(GlTest, LoadUploadsIntoTheIdWithFixedParameters) {
    testdata::ScratchDir dir;
    // 3 x 2 at 24 bits: 9-byte rows, only right with an unpack alignment of 1.
    testdata::writeFile("odd.tga", testdata::tgaHeader(2, 3, 2, 24) +
                                       Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18});
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const uint32_t id = TextureManager::instance()->loadTexture("odd.tga", 0);
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), GLint(id));
    EXPECT_EQ(glInteger(GL_UNPACK_ALIGNMENT), 1);
    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(readBack(id, GL_RGB, 18),
              (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, UnusableFilesKeepTheirSlotAndUploadNothing) {
    testdata::ScratchDir dir;
    testdata::writeFile("grey.tga", testdata::tgaHeader(3, 1, 1, 8) + Bytes{1});
    testdata::writeFile("short.tga", Bytes{0, 0, 2, 0});
    testdata::writeFile("sixteen.tga", testdata::tgaHeader(2, 2, 2, 16) + Bytes(8, 1));
    testdata::writeFile("huge.tga", testdata::tgaHeader(2, 65535, 65535, 32) + Bytes{1, 2, 3, 4});
    testdata::writeFile("good.tga", testdata::solidTga(1, 1, 9, 8, 7));
    TextureManager* textures = TextureManager::instance();

    deletedTextureNames().clear();
    EXPECT_EQ(loadTga("grey.tga"), nullptr);
    ASSERT_EQ(deletedTextureNames().size(), 1u);  // the record made for it gave its name back
    EXPECT_FALSE(glIsTexture(deletedTextureNames()[0]));

    EXPECT_EQ(textures->loadTexture("missing.tga", 0), 1u);
    EXPECT_EQ(textures->loadTexture("short.tga", 0), 2u);
    EXPECT_EQ(textures->loadTexture("grey.tga", 0), 3u);
    for (uint32_t id : {1u, 2u, 3u}) {
        EXPECT_EQ(textures->getTexture(id), nullptr);
        EXPECT_FALSE(glIsTexture(id)) << id;
    }
    EXPECT_EQ(textures->loadTexture("sixteen.tga", 0), 4u);
    EXPECT_EQ(textures->loadTexture("huge.tga", 0), 5u);
    for (uint32_t id : {4u, 5u}) {
        ASSERT_NE(textures->getTexture(id), nullptr);
        EXPECT_FALSE(textures->getTexture(id)->pixels);
        EXPECT_EQ(levelWidth(id), 0) << id;
    }
    EXPECT_EQ(textures->getTexture(5)->width, 65535u);

    // Decodable, but wider than GL takes: kept as a record, not uploaded.
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_LT(maxSize, 65535);
    const auto wide = uint16_t(maxSize + 1);
    Bytes runs;
    for (int left = wide; left > 0; left -= 128) runs.insert(runs.end(), {uint8_t(0x80 | (std::min(left, 128) - 1)), 1, 2, 3, 4});
    testdata::writeFile("wide.tga", testdata::tgaHeader(10, wide, 1, 32) + runs);
    EXPECT_EQ(textures->loadTexture("wide.tga", 0), 6u);
    EXPECT_TRUE(textures->getTexture(6)->pixels);
    EXPECT_EQ(levelWidth(6), 0);
    EXPECT_EQ(textures->loadTexture("good.tga", 0), 7u);
    EXPECT_EQ(readBack(7, GL_RGBA, 4), (Bytes{9, 8, 7, 255}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, ReleaseDestroysRecordsInReverseLoadOrder) {
    testdata::ScratchDir dir;
    testdata::writeFile("a.tga", testdata::solidTga(1, 1, 1, 2, 3));
    TextureManager* textures = TextureManager::instance();
    std::vector<GLuint> names;
    for (int i = 0; i < 3; ++i) names.insert(names.begin(), textures->getTexture(textures->loadTexture("a.tga", 0))->glName);
    textures->loadTexture("missing.tga", 0);  // an empty slot among them
    deletedTextureNames().clear();
    releaseTextures();
    EXPECT_EQ(deletedTextureNames(), names);
    EXPECT_EQ(textures->getTexture(1), nullptr);
    EXPECT_EQ(textures->slotCount(), 0u);
}

namespace {

std::vector<GLuint> expectedExitDeletes;

// Registered before the registries, so it runs after both of their exit routines.
void reportExitDeletes() {
    const bool reversed = deletedTextureNames() == expectedExitDeletes;
    std::fprintf(stderr, reversed ? "released in reverse order\n" : "wrong release order\n");
}

}  // namespace

TEST_F(GlTest, ExitReleasesFontsThenTexturesWithoutAContext) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit(reportExitDeletes);
            {
                testdata::ScratchDir dir;
                testdata::writeFile("data/a.tga", testdata::solidTga(1, 1, 1, 2, 3));
                testdata::writeText("data/fonts.data", "mapfile\ndata/a.tga\n");
                TextureManager* textures = TextureManager::instance();
                textures->loadTexture("data/a.tga", 0);
                textures->loadTexture("data/a.tga", 0);
                FontManager::instance();  // loads id 3
                for (uint32_t id = 3; id >= 1; --id)
                    expectedExitDeletes.push_back(textures->getTexture(id)->glName);
            }
            deletedTextureNames().clear();
            context.reset();  // the show leaves its context to process exit; be harsher here
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "released in reverse order");
}
