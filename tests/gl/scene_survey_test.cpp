// demo-bench's survey of what each frame drew (its area in screens) against the fragments
// the frame really produced, counted by the GL: the pixel references are only as honest as
// this model of every scene.
#include "../support/scratch_dir.h"
#include "app/frame.h"
#include "app/shell.h"
#include "gl_fixture.h"
#include "pixel_work.h"
#include "scene_survey.h"
#include "scenes/particle_scene.h"

TEST_F(GlTest, SurveyedAreaOfEverySceneMatchesTheFragmentsDrawn) {
    // The real data, so that the captions are drawn with the real font.
    const testdata::ScratchDir dir;
    linkBuildData(dir.path());
    constexpr int Width = 640, Height = 360;
    startShowOffscreen(Width, Height);
    GLuint query = 0;
    glGenQueries(1, &query);
    std::array<int, SceneCount> checked{};
    for (uint32_t now = 100; !isQuitRequested(); now += 97) {
        const int32_t before = currentSceneIndex();
        const double particles = bench::particleScreens(particleCloud());
        glBeginQuery(GL_SAMPLES_PASSED, query);
        drawFrame(now);
        glEndQuery(GL_SAMPLES_PASSED);
        const int32_t scene = currentSceneIndex();
        if (scene >= SceneCount || scene != before) continue;  // the frames where a scene begins vary
        GLuint fragments = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &fragments);
        bench::ScenePixels pixels;
        bench::surveyFrame(scene, now, particles, pixels);
        const double expected = pixels.screensPerFrame() * Width * Height;
        // Edges of small primitives round either way (by under 0.1 % here).
        ASSERT_NEAR(double(fragments), expected, expected * 0.005)
            << "scene " << scene << " at " << now;
        ++checked[size_t(scene)];
    }
    for (size_t scene = 0; scene < checked.size(); ++scene) EXPECT_GE(checked[scene], 25) << scene;
    glDeleteQueries(1, &query);
}
