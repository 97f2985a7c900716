#include "gl_fixture.h"
#include "scene_textures.h"

#include <set>

#include "../support/scratch_dir.h"
#include "app/frame.h"
#include "app/shell.h"
#include "app/show_state.h"

namespace {

// FNV-1a over a frame's bytes.
uint64_t frameHash(const std::vector<uint8_t>& rgba) {
    uint64_t hash = 14695981039346656037u;
    for (const uint8_t byte : rgba) hash = (hash ^ byte) * 1099511628211u;
    return hash;
}

}  // namespace

// The whole show on a simulated clock (20 ms frames) with the build's data, twice in one
// process with a reset between. Every scene is drawn without a GL error, and the second
// run draws exactly the frames of the first: every piece of state a scene keeps (flash,
// particles and the random draws, warp constant, cube turn, pictures, fonts, the timeline)
// shows in the frames, so a piece the reset forgets makes them differ.
TEST_F(GlTest, WholeShowRunsAgainIdenticallyAfterAReset) {
    const testdata::ScratchDir scratch;
    linkBuildData(scratch.path());
    auto run = [&] {
        startShowOffscreen(96, 54);
        std::vector<uint64_t> frames;
        std::set<int32_t> visited;
        uint32_t now = 150;  // start-up time already on the clock
        for (; !isQuitRequested(); now += 20) {
            setSimulatedClock(now);
            drawFrame(now);
            visited.insert(currentSceneIndex());
            const GLenum error = glGetError();
            EXPECT_EQ(error, GLenum(GL_NO_ERROR)) << "scene " << currentSceneIndex() << " at " << now;
            if (error != GL_NO_ERROR || frames.size() > 10000) break;
            frames.push_back(frameHash(context->readPixelsTopDown()));
        }
        EXPECT_EQ(visited, (std::set<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        EXPECT_GT(now, 90596u);
        EXPECT_LE(now, 90596u + 40u);
        EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
        return frames;
    };
    const std::vector<uint64_t> first = run();
    resetShowState();
    const std::vector<uint64_t> second = run();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(first[i], second[i]) << "frame " << i << " at " << 150 + 20 * i << " ms";
}
