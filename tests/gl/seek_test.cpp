// Seeking: the show brought to a moment from any state shows, byte for byte, the frame a
// fresh run records there (demo-capture --at), forward and back, into, out of and within
// the particle and picture-beat scenes, across the font registry's first use, from a
// paused state and after an Enter skip, by the player's own frame step and transport; a
// frame step lands on the neighbouring recorded frames; the GL state a rewind leaves is the
// state a prepared show starts from; and the paused picture and the status line over it
// leave the show's pixels and state alone.
#include <array>
#include <cstring>
#include <map>
#include <vector>

#include "app/frame.h"
#include "app/seek.h"
#include "app/shell.h"
#include "app/show_state.h"
#include "app/timeline.h"
#include "app/transport.h"
#include "font/status_line.h"
#include "gl_fixture.h"
#include "recorded_frames.h"
#include "render/start_gl_state.h"
#include "texture/held_picture.h"

namespace {

constexpr int Width = 96;
constexpr int Height = 60;

const FrameSchedule WholeRun = wholeRunSchedule(DefaultShowRate);

// The clock value of the show frame `offset` frames from the one seen at `atMs`.
uint32_t neighbour(uint32_t atMs, int offset) {
    return frameClock(WholeRun, uint64_t(int64_t(showFrameAt(DefaultShowRate, atMs)) + offset));
}

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
    void SetUp() override {
        GlTest::SetUp();
        linkBuildData(scratch.path());
    }

    testdata::ScratchDir scratch;  // the working directory, with the build's data

    // The player's frame step with the transport request, on a simulated clock that stands
    // where the last move put it: the pixels it presents. The present is a no-op offscreen.
    std::vector<uint8_t> playAfter(const TransportRequest& request) {
        requestTransport(request);
        // A pause or a resume moves nothing: no new frame to present.
        EXPECT_EQ(playFrame().presented, request.action != TransportAction::TogglePause);
        return context->readPixelsTopDown();
    }

    // The frame seen at `atMs` after a seek from whatever state the show is in.
    std::vector<uint8_t> seekAndDraw(uint32_t atMs) {
        const uint64_t frame = showFrameAt(DefaultShowRate, atMs);
        rewindShowTo(frame, DefaultShowRate);
        drawFrame(frameClock(wholeRunSchedule(DefaultShowRate), frame));
        return context->readPixelsTopDown();
    }
};

TEST_F(SeekTest, EveryMomentReachedByASeekShowsTheRecordedFrame) {
    // Scene ends: 18096 (opening), 32096 (warp sweep), 48096 (particles), 62096 (beats).
    // The font registry is first used by the first caption frame after 3000.
    const std::vector<uint32_t> order = {
        47000, 48000, 3001,  2999,  40000, 48097, 48096, 52000, 32097, 60036, 3500,  90590,
        18097, 48300, 62097, 44000, 62096, 24000, 0,     89000, 48105, 70000, 32096, 56000};
    const std::map<uint32_t, std::vector<uint8_t>> recorded = recordedFrames(order, Width, Height);
    ASSERT_EQ(recorded.size(), order.size());
    for (const auto& [at, frame] : recorded) ASSERT_FALSE(frame.empty()) << "no recorded frame at " << at;

    resetShowState();
    startShowOffscreen(Width, Height);
    for (const uint32_t at : order) {
        EXPECT_TRUE(seekAndDraw(at) == recorded.at(at)) << "seek to " << at;
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

TEST_F(SeekTest, ThePlayersTransportShowsTheRecordedFrames) {
    // The scene starts (0 to 9 keys), 5 s jumps, the seek bar, frame steps both ways.
    std::vector<uint32_t> moments = {sceneStartMs(3), sceneStartMs(4), sceneStartMs(6), 52000,
                                     20000, 2000, 85000};
    for (const int offset : {-2, -1, 1}) moments.push_back(neighbour(52000, offset));
    moments.push_back(neighbour(sceneStartMs(4), 1));
    moments.push_back(neighbour(52000, -1) + JumpMs);  // on the grid: 5 s is 600 show frames
    const std::map<uint32_t, std::vector<uint8_t>> recorded = recordedFrames(moments, Width, Height);

    resetShowState();
    startShowOffscreen(Width, Height);
    // Some of the show on a 60 Hz display, then into the particles by the scene key.
    for (uint32_t now = 0; now < 1500; now += 17) {
        setSimulatedClock(now);
        playFrame();
    }
    EXPECT_TRUE(playAfter({TransportAction::ToScene, 3}) == recorded.at(sceneStartMs(3)));
    EXPECT_TRUE(playAfter({TransportAction::ToScene, 4}) == recorded.at(sceneStartMs(4)));
    // Paused, a step ahead is the next recorded frame.
    playAfter({TransportAction::TogglePause, 0});
    EXPECT_TRUE(transportState().paused);
    EXPECT_TRUE(playAfter({TransportAction::FrameAhead, 0}) == recorded.at(neighbour(sceneStartMs(4), 1)));
    // Seeks from the paused state, and steps back from there.
    EXPECT_TRUE(playAfter({TransportAction::SeekTo, 52000}) == recorded.at(52000));
    EXPECT_TRUE(playAfter({TransportAction::FrameBack, 0}) == recorded.at(neighbour(52000, -1)));
    EXPECT_TRUE(playAfter({TransportAction::FrameBack, 0}) == recorded.at(neighbour(52000, -2)));
    EXPECT_TRUE(playAfter({TransportAction::FrameAhead, 0}) == recorded.at(neighbour(52000, -1)));
    EXPECT_TRUE(playAfter({TransportAction::Ahead, 0}) == recorded.at(neighbour(52000, -1) + 5000));
    EXPECT_TRUE(playAfter({TransportAction::Back, 0}) == recorded.at(neighbour(52000, -1)));
    // Playing again from where it was held, then an Enter skip, then a seek.
    playAfter({TransportAction::TogglePause, 0});
    EXPECT_FALSE(transportState().paused);
    skipToNextScene();
    for (uint32_t now = 47010; now < 47200; now += 17) {
        setSimulatedClock(now);
        playFrame();
    }
    EXPECT_TRUE(playAfter({TransportAction::SeekTo, 20000}) == recorded.at(20000));
    EXPECT_TRUE(playAfter({TransportAction::ToScene, 6}) == recorded.at(sceneStartMs(6)));
    EXPECT_TRUE(playAfter({TransportAction::SeekTo, 2000}) == recorded.at(2000));
    EXPECT_TRUE(playAfter({TransportAction::SeekTo, 85000}) == recorded.at(85000));
    // Past the end: the show ends as at its end.
    requestTransport({TransportAction::SeekTo, ShowLengthMs + 1});
    playFrame();
    EXPECT_TRUE(isQuitRequested());
    EXPECT_EQ(currentSceneIndex(), SceneCount);
}

TEST_F(SeekTest, AFrameStepLandsWhereTheDisplaysCadenceIsFollowed) {
    // A real display's presents: the player follows their phase, and at 60 Hz presents that
    // fall late in a show frame the choice is held back by up to half a frame. A pause keeps
    // that shift; the step ahead must still run the next frame on the held clock.
    resetShowState();
    startShowOffscreen(Width, Height);
    setPlayerShowRate(DefaultShowRate, true);
    const uint64_t from = showFrameAt(DefaultShowRate, 40000);
    playAfter({TransportAction::SeekTo, 40000});
    for (uint64_t k = 2; k <= 120; k += 2) {  // two show frames a present, 8 ms into the first
        setSimulatedClock(frameClock(WholeRun, from + k) + 7);
        playFrame();
    }
    playAfter({TransportAction::TogglePause, 0});
    for (int present = 0; present < 30; ++present) playFrame();  // paused: the clock stands
    const ShownFrame held = shownFrame();
    const std::map<uint32_t, std::vector<uint8_t>> recorded =
        recordedFrames({frameClock(WholeRun, held.index + 1)}, Width, Height);
    EXPECT_TRUE(playAfter({TransportAction::FrameAhead, 0}) == recorded.begin()->second);
    EXPECT_EQ(shownFrame().index, held.index + 1);
}

TEST_F(SeekTest, ThePausedPictureAndItsStatusLineLeaveTheShowAlone) {
    const uint32_t at = 50000;
    const std::map<uint32_t, std::vector<uint8_t>> recorded = recordedFrames({at, neighbour(at, 1)}, Width, Height);
    resetShowState();
    startShowOffscreen(Width, Height);
    const uint64_t frame = showFrameAt(DefaultShowRate, at);
    rewindShowTo(frame, DefaultShowRate);
    drawFrame(frameClock(WholeRun, frame));
    const std::vector<float> state = readFixedFunctionState();
    holdPicture(Width, Height);
    drawStatusLine("50.000 s  scene 4 picture beats  paused", Width, Height);
    EXPECT_FALSE(context->readPixelsTopDown() == recorded.at(at)) << "no status line was drawn";
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(drawHeldPicture());
    EXPECT_TRUE(context->readPixelsTopDown() == recorded.at(at)) << "the held picture is not the frame";
    EXPECT_EQ(readFixedFunctionState(), state);
    // The next show frame is the recorded one: neither touched the show's state.
    drawFrame(frameClock(WholeRun, frame + 1));
    EXPECT_TRUE(context->readPixelsTopDown() == recorded.at(neighbour(at, 1)));
}
