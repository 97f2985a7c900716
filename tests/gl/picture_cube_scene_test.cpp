#include "gl_fixture.h"
#include "scene_textures.h"

#include "platform/display.h"
#include "scenes/cube_scene.h"
#include "scenes/picture_scene.h"
#include "texture/texture_sets.h"

namespace {

// 4 x 4 picture: rows 0..1 (t < 0.5) red, rows 2..3 blue; columns 2..3 add green.
std::array<uint8_t, 4> quadrantTexel(int column, int row) {
    return {uint8_t(row < 2 ? 255 : 0), uint8_t(column < 2 ? 0 : 255), uint8_t(row < 2 ? 0 : 255),
            255};
}

}  // namespace

TEST_F(GlTest, PictureFillsTheViewportWithItsFirstRowAtTheBottom) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    pictureTextures[0] = makeTestTexture(4, 4, quadrantTexel);
    const GLint modelviewDepth = glInteger(GL_MODELVIEW_STACK_DEPTH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(0.1f, 0.1f, 1);  // a projection the picture must not use
    glMatrixMode(GL_MODELVIEW);
    glColor4f(0.2f, 0.2f, 0.2f, 0.3f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawPicture(0);

    const int w = context->width(), h = context->height();
    EXPECT_EQ(pixelAt(0, h - 1), (std::array<uint8_t, 4>{255, 0, 0, 255}));  // bottom left
    EXPECT_EQ(pixelAt(w - 1, h - 1), (std::array<uint8_t, 4>{255, 255, 0, 255}));
    EXPECT_EQ(pixelAt(0, 0), (std::array<uint8_t, 4>{0, 0, 255, 255}));  // top left
    EXPECT_EQ(pixelAt(w - 1, 0), (std::array<uint8_t, 4>{0, 255, 255, 255}));
    EXPECT_EQ(pixelAt(w / 2 - 1, h / 2), (std::array<uint8_t, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(w / 2, h / 2 - 1), (std::array<uint8_t, 4>{0, 255, 255, 255}));

    // Left behind: texturing on, the picture bound, white, modelview current, stacks as before.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GLuint(glInteger(GL_TEXTURE_BINDING_2D)), pictureTextures[0]);
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[3], 1.0f);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);
    float projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 0.1f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, PictureOutsideTheSetOrWithoutAnImageNeverShowsAnythingElse) {
    pictureTextures[12] = makeSolidTexture({0, 200, 0, 255});
    for (int32_t index : {13, 20, 1000}) {
        glClear(GL_COLOR_BUFFER_BIT);
        drawPicture(index);
        EXPECT_EQ(pixelAt(10, 10)[1], 200) << index;  // the last picture stays
    }
    glClear(GL_COLOR_BUFFER_BIT);
    drawPicture(-1);
    EXPECT_EQ(pixelAt(10, 10), (std::array<uint8_t, 4>{0, 0, 0, 255}));
    EXPECT_EQ(pictureSlotFor(-1), std::nullopt);
    EXPECT_EQ(pictureSlotFor(7), 7);

    // A picture that failed to load: its texture has no image. Untextured, the quad would be
    // white; the frame stays as cleared, and the state left behind is the usual one.
    GLuint empty = 0;
    glGenTextures(1, &empty);
    pictureTextures[3] = empty;
    glClear(GL_COLOR_BUFFER_BIT);
    drawPicture(3);
    EXPECT_EQ(pixelAt(10, 10), (std::array<uint8_t, 4>{0, 0, 0, 255}));
    EXPECT_EQ(GLuint(glInteger(GL_TEXTURE_BINDING_2D)), empty);
    EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, CubeScenePlateLiesInTheLowerLeftOverTheWalls) {
    createContext(200, 200);
    boxTexture = makeSolidTexture({0, 0, 255, 255});
    plateTexture = makeSolidTexture({255, 0, 0, 255});
    glEnable(GL_FOG);
    glColor4f(1, 1, 1, 1);
    drawCubeScene();
    drawCubeScene();
    EXPECT_EQ(cubeSceneAngle(), 1.0);

    // Walls everywhere (the eye is inside the cube), plate added on top of them.
    for (auto [x, y] : {std::pair{100, 100}, {199, 0}, {0, 0}, {150, 180}}) {
        EXPECT_EQ(pixelAt(x, y), (std::array<uint8_t, 4>{0, 0, 255, 255})) << x << "," << y;
    }
    // Plate: NDC x -0.952..-0.238 (pixels 5..76), y -1.19..-0.238 (bottom up to 76).
    for (auto [x, y] : {std::pair{7, 197}, {74, 199}, {40, 160}, {74, 125}, {7, 125}}) {
        EXPECT_EQ(pixelAt(x, y), (std::array<uint8_t, 4>{255, 0, 255, 255})) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{2, 197}, {79, 160}, {40, 121}}) {
        EXPECT_EQ(pixelAt(x, y)[0], 0) << x << "," << y;
    }
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, CubeSceneTakesItsViewportFromTheDesktopEveryFrame) {
    createContext(200, 200);
    plateTexture = makeSolidTexture({255, 0, 0, 255});
    setDesktopRect({0, 0, 100, 100});
    drawCubeScene();
    EXPECT_EQ(pixelAt(20, 180)[0], 255);  // plate in the lower left of the 100 x 100 view
    EXPECT_EQ(pixelAt(150, 50), (std::array<uint8_t, 4>{0, 0, 0, 255}));  // outside it
}
