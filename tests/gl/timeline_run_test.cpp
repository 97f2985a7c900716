#include "gl_fixture.h"
#include "scene_textures.h"

#include <set>

#include "app/frame.h"
#include "app/shell.h"

// The whole show on a simulated clock (16 ms frames) in the headless context. There are no
// data files here, so every texture id names an empty texture; the scenes' GL use must
// still be valid on every frame.
TEST_F(GlTest, WholeTimelineVisitsEverySceneWithoutGlErrors) {
    startShowOffscreen(160, 100);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    std::set<int32_t> visited;
    uint32_t now = 150;  // start-up time already on the clock
    int frames = 0;
    while (!isQuitRequested()) {
        drawFrame(now);
        visited.insert(currentSceneIndex());
        const GLenum error = glGetError();
        ASSERT_EQ(error, GLenum(GL_NO_ERROR)) << "scene " << currentSceneIndex() << " at " << now;
        now += 16;
        ++frames;
        ASSERT_LT(frames, 10000);
    }
    EXPECT_EQ(visited, (std::set<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_GT(now, 90596u);
    EXPECT_LE(now, 90596u + 32u);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
}
