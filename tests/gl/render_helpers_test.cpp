#include "gl_fixture.h"

#include "render/matrices.h"
#include "render/overlay.h"

namespace {

void fillOverlayRect(int x0, int y0, int x1, int y1) {
    glBegin(GL_QUADS);
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
    glEnd();
}

}  // namespace

TEST_F(GlTest, OverlayCornersMapToViewportCornersAtAnySize) {
    for (auto [w, h] : {std::pair{64, 40}, std::pair{97, 31}}) {
        createContext(w, h);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        beginOverlay();
        glColor4f(1, 0, 0, 1);
        fillOverlayRect(0, 0, 10, 10);  // top-left corner
        glColor4f(0, 1, 0, 1);
        fillOverlayRect(310, 190, 320, 200);  // bottom-right corner
        endOverlay();
        EXPECT_EQ(pixelAt(0, 0)[0], 255) << w << "x" << h;
        EXPECT_EQ(pixelAt(w - 1, h - 1)[1], 255) << w << "x" << h;
        EXPECT_EQ(pixelAt(w - 1, 0)[0], 0);
        EXPECT_EQ(pixelAt(0, h - 1)[1], 0);
    }
}

TEST_F(GlTest, NestedOverlaysUseTwoStackLevelsAndRestoreState) {
    glEnable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glViewport(3, 4, 20, 10);
    glMatrixMode(GL_MODELVIEW);
    const GLint projectionBase = glInteger(GL_PROJECTION_STACK_DEPTH);
    const GLint modelviewBase = glInteger(GL_MODELVIEW_STACK_DEPTH);

    beginOverlay();
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    beginOverlay();
    EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), projectionBase + 2);
    EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), modelviewBase + 2);
    EXPECT_EQ(glInteger(GL_ATTRIB_STACK_DEPTH), 2);
    glEnable(GL_FOG);  // changed inside the inner block only
    endOverlay();
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    endOverlay();

    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), projectionBase);
    EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), modelviewBase);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 3);
    EXPECT_EQ(viewport[3], 10);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlTest, SceneViewLoadsTheTurnedPerspectiveAndAdditiveBlending) {
    glDisable(GL_BLEND);
    setupSceneView();
    float projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // Perspective times the look-at basis rows X = (-1,0,0), Y = (0,1,0), F = (0,0,-1).
    EXPECT_NEAR(projection[0], 1.86097f, 1e-4f);
    EXPECT_NEAR(projection[5], -2.47509f, 1e-4f);
    EXPECT_NEAR(projection[10], 1.0f, 1e-6f);
    EXPECT_NEAR(projection[11], 1.0f, 1e-6f);
    float modelview[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(modelview[0], 1.0f);
    EXPECT_EQ(modelview[12], 0.0f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE);
}
