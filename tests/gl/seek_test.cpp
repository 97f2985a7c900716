// Seeking: the show brought to a moment from any state shows, byte for byte, the frame a
// fresh run records there (demo-capture --at), forward and back, into, out of and within
// the particle and picture-beat scenes, across the font registry's first use; and the GL
// state a rewind leaves is the state a prepared show starts from.
#include <array>
#include <cstring>
#include <map>
#include <vector>

#include "app/frame.h"
#include "app/seek.h"
#include "app/shell.h"
#include "app/show_state.h"
#include "gl_fixture.h"
#include "render/start_gl_state.h"

namespace {

constexpr int Width = 96;
constexpr int Height = 60;

// Every piece of fixed-function state that the show or a driver could leave behind, read
// back as numbers; the show changes only some of them, the others guard the rest.
std::vector<float> readFixedFunctionState() {
    std::vector<float> state;
    for (const GLenum cap : {GL_FOG, GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE, GL_TEXTURE_2D,
                             GL_SCISSOR_TEST, GL_BLEND, GL_ALPHA_TEST, GL_STENCIL_TEST,
                             GL_COLOR_MATERIAL, GL_NORMALIZE, GL_DITHER})
        state.push_back(glIsEnabled(cap) ? 1.0f : 0.0f);
    for (const GLenum value : {GL_BLEND_SRC, GL_BLEND_DST, GL_FOG_MODE, GL_MATRIX_MODE,
                               GL_TEXTURE_BINDING_2D, GL_DEPTH_FUNC, GL_SHADE_MODEL,
                               GL_UNPACK_ALIGNMENT, GL_MODELVIEW_STACK_DEPTH,
                               GL_PROJECTION_STACK_DEPTH, GL_ATTRIB_STACK_DEPTH})
        state.push_back(float(glInteger(value)));
    const auto floats = [&](GLenum value, int count) {
        std::array<GLfloat, 16> v{};
        glGetFloatv(value, v.data());
        state.insert(state.end(), v.begin(), v.begin() + count);
    };
    floats(GL_FOG_START, 1);
    floats(GL_FOG_END, 1);
    floats(GL_FOG_DENSITY, 1);
    floats(GL_FOG_COLOR, 4);
    floats(GL_COLOR_CLEAR_VALUE, 4);
    floats(GL_CURRENT_COLOR, 4);
    floats(GL_CURRENT_TEXTURE_COORDS, 4);
    floats(GL_MODELVIEW_MATRIX, 16);
    floats(GL_PROJECTION_MATRIX, 16);
    floats(GL_VIEWPORT, 4);
    floats(GL_SCISSOR_BOX, 4);
    return state;
}

}  // namespace

class SeekTest : public GlTest {
protected:
    // The frame a fresh run shows at each moment: every show frame run, the kept ones drawn.
    std::map<uint32_t, std::vector<uint8_t>> freshRunFrames(const std::vector<uint32_t>& moments) {
        resetShowState();
        startShowOffscreen(Width, Height);
        std::multimap<uint64_t, uint32_t> kept;  // show frame -> moments it is seen at
        for (const uint32_t at : moments) kept.emplace(showFrameAt(DefaultShowRate, at), at);
        std::map<uint32_t, std::vector<uint8_t>> frames;
        const FrameSchedule run = wholeRunSchedule(DefaultShowRate);
        for (uint64_t k = 0; k <= kept.rbegin()->first; ++k) {
            const auto [first, last] = kept.equal_range(k);
            drawFrame(frameClock(run, k), first == last ? FramePixels::None : FramePixels::Drawn);
            for (auto moment = first; moment != last; ++moment)
                frames[moment->second] = context->readPixelsTopDown();
        }
        return frames;
    }

    // The frame seen at `atMs` after a seek from whatever state the show is in.
    std::vector<uint8_t> seekAndDraw(uint32_t atMs) {
        const uint64_t frame = showFrameAt(DefaultShowRate, atMs);
        rewindShowTo(frame, DefaultShowRate);
        drawFrame(frameClock(wholeRunSchedule(DefaultShowRate), frame));
        return context->readPixelsTopDown();
    }
};

TEST_F(SeekTest, EveryMomentReachedByASeekShowsTheFreshRunsFrame) {
    // Scene ends: 18096 (opening), 32096 (warp sweep), 48096 (particles), 62096 (beats).
    // The font registry is first used by the first caption frame after 3000.
    const std::vector<uint32_t> order = {
        47000, 48000, 3001,  2999,  40000, 48097, 48096, 52000, 32097, 60036, 3500,  90590,
        18097, 48300, 62097, 44000, 62096, 24000, 0,     89000, 48105, 70000, 32096, 56000};
    const std::map<uint32_t, std::vector<uint8_t>> fresh = freshRunFrames(order);
    ASSERT_EQ(fresh.size(), order.size());

    resetShowState();
    startShowOffscreen(Width, Height);
    for (const uint32_t at : order) {
        EXPECT_TRUE(seekAndDraw(at) == fresh.at(at)) << "seek to " << at;
        ASSERT_FALSE(isQuitRequested()) << "the show ended at " << at;
    }
}

TEST_F(SeekTest, ARewindLeavesTheStateOfAPreparedShow) {
    resetShowState();
    startShowOffscreen(Width, Height);
    const std::vector<float> prepared = readFixedFunctionState();
    // Through every scene, then back to the start.
    const FrameSchedule run = wholeRunSchedule(DefaultShowRate);
    for (uint64_t k = 0; !isQuitRequested(); k += 7) drawFrame(frameClock(run, k));
    rewindShowTo(0, DefaultShowRate);
    EXPECT_EQ(readFixedFunctionState(), prepared);
    EXPECT_EQ(currentSceneIndex(), 0);
    EXPECT_FALSE(isQuitRequested());
}
