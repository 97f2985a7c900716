// The show moves the same on every display: the player's frame step (playFrame) on the
// tick driver, with simulated displays from 30 Hz to one that presents every millisecond,
// presents exactly the pixels of the same show frames drawn one by one, as demo-capture
// draws them; the frame-counted motions (closing cube, particle glide) end where they
// should; and demo-capture's own PNG frames are those same bytes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "app/frame.h"
#include "app/shell.h"
#include "app/show_state.h"
#include "gl_fixture.h"
#include "recorded_frames.h"
#include "scenes/cube_scene.h"
#include "scenes/particle_scene.h"

namespace {

constexpr int Width = 64;
constexpr int Height = 36;

// FNV-1a over a frame's bytes.
uint64_t frameHash(const std::vector<uint8_t>& rgba) {
    uint64_t hash = 14695981039346656037u;
    for (const uint8_t byte : rgba) hash = (hash ^ byte) * 1099511628211u;
    return hash;
}

// What a run showed and where its counted motions ended.
struct ShowRun {
    std::map<uint32_t, uint64_t> shown;  // clock value of each presented show frame -> hash
    double cubeAngle = 0;                // degrees, after the last frame
    uint32_t textCompleteMs = 0;         // clock value of the glide's last show frame
};

}  // namespace

class ShowRateTest : public GlTest {
protected:
    // The whole show through playFrame on a display presenting at `presentClocks`.
    ShowRun runOnDisplay(uint32_t refreshHz) {
        resetShowState();
        startShowOffscreen(Width, Height);
        ShowRun run;
        const FrameSchedule display{0, refreshHz};
        for (uint64_t i = 0; !isQuitRequested(); ++i) {
            const uint32_t now = frameClock(display, i);
            setSimulatedClock(now);
            if (!playFrame().presented || isQuitRequested()) continue;
            const TickDriver& ticks = playerTicks();
            const uint32_t shownMs = frameClock(ticks.show, ticks.next - 1);
            run.shown[shownMs] = frameHash(context->readPixelsTopDown());
            noteGlide(run, ticks);
        }
        run.cubeAngle = cubeSceneAngle();
        return run;
    }

    // The show frames one by one, every one drawn: the recorder's frames.
    ShowRun runEveryFrame() {
        resetShowState();
        startShowOffscreen(Width, Height);
        ShowRun run;
        TickDriver ticks;
        ticks.show = {0, DefaultShowRate};
        ticks.stallMs = NeverStall;
        while (true) {
            const uint32_t now = frameClock(ticks.show, ticks.next);
            runDueFrames(ticks, now);
            if (isQuitRequested()) break;
            run.shown[now] = frameHash(context->readPixelsTopDown());
            noteGlide(run, ticks);
        }
        run.cubeAngle = cubeSceneAngle();
        return run;
    }

    // Once the particles glide, their count of glide frames tells which show frame was the
    // first of the glide, and so which will be its last.
    static void noteGlide(ShowRun& run, const TickDriver& ticks) {
        const Particle& p = particleCloud().front();
        if (run.textCompleteMs != 0 || !p.assigned || currentSceneIndex() != int32_t(Scene::Particles)) return;
        const uint64_t first = ticks.next - uint64_t(p.glideFrames);
        run.textCompleteMs = frameClock(ticks.show, first + uint64_t(GlideFrames) - 1);
    }
};

TEST_F(ShowRateTest, EveryDisplayPresentsTheRecordersFramesAndTheMotionEndsAlike) {
    const testdata::ScratchDir scratch;
    linkBuildData(scratch.path());
    const ShowRun every = runEveryFrame();
    ASSERT_EQ(every.shown.size(), framesThrough({0, DefaultShowRate}, ShowLengthMs));
    // Scene 9 runs from 82597 to 90596 ms: its show frames each turn the cube by 0.5 degrees.
    const FrameSchedule show{0, DefaultShowRate};
    const uint64_t closingFrames = framesThrough(show, ShowLengthMs) - framesThrough(show, sceneEndMs(8));
    EXPECT_DOUBLE_EQ(every.cubeAngle, 0.5 * double(closingFrames));
    // At 120 show frames a second the text completes well within its scene.
    EXPECT_GT(every.textCompleteMs, sceneEndMs(2) + uint32_t(DriftMs));
    EXPECT_LE(every.textCompleteMs, sceneEndMs(3));

    for (const uint32_t hz : {30u, 60u, 75u, 100u, 144u, 240u, 1000u}) {
        const ShowRun run = runOnDisplay(hz);
        EXPECT_DOUBLE_EQ(run.cubeAngle, every.cubeAngle) << hz << " Hz";
        EXPECT_EQ(run.textCompleteMs, every.textCompleteMs) << hz << " Hz";
        // A display presents about min(Hz, 120) pictures a second, each the same bytes as the
        // show frame drawn in the run that draws them all.
        EXPECT_GE(run.shown.size(), framesThrough({0, std::min(hz, DefaultShowRate)}, ShowLengthMs) - 2)
            << hz << " Hz";
        size_t differing = 0;
        for (const auto& [clockMs, hash] : run.shown) {
            const auto reference = every.shown.find(clockMs);
            ASSERT_NE(reference, every.shown.end()) << hz << " Hz presented a non-show frame at " << clockMs;
            if (reference->second != hash && differing++ < 3)
                ADD_FAILURE() << hz << " Hz: the frame at " << clockMs << " ms differs";
        }
        EXPECT_EQ(differing, 0u) << hz << " Hz";
    }

    // demo-capture's PNG frames are the same bytes: one moment in every scene, two in the
    // particle scene, the last the last show frame.
    const std::vector<uint32_t> chosen = {2000,  10000, 20000, 30000, 36000, 47000, 50000,
                                          64000, 70000, 76000, 80000, 88000, 90591};
    std::string at;
    for (uint32_t ms : chosen) at += (at.empty() ? "" : ",") + std::to_string(ms);
    const std::string command = std::string(DEMO_CAPTURE_PROGRAM) + " --size " + std::to_string(Width) +
                                "x" + std::to_string(Height) + " --at " + at + " --png frames 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    bool anyDetail = false;
    for (const uint32_t ms : chosen) {
        const uint32_t kept = frameClock(show, firstFrameAtOrPast(show, ms));
        char name[40];
        std::snprintf(name, sizeof name, "frames/frame-%05u.png", unsigned(kept));
        const std::vector<uint8_t> captured = readPngRgba(name, Width, Height);
        ASSERT_FALSE(captured.empty()) << name;
        EXPECT_EQ(frameHash(captured), every.shown.at(kept)) << name << " differs from the show frame";
        for (size_t i = 4; i < captured.size() && !anyDetail; i += 4)
            anyDetail = captured[i] != captured[0] || captured[i + 1] != captured[1];
    }
    if (!anyDetail) GTEST_SKIP() << "every frame is one flat colour (no data or scenes): nothing shown to compare";
}
