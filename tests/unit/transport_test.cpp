// The transport's decisions without a GL context: which key asks for what (and that the
// show's own keys keep their parity around them), where each request moves the show, the
// loop's return, the status line's text, and the clock segments a move starts.
#include <gtest/gtest.h>

#include "app/audio_clock.h"
#include "app/input.h"
#include "app/options.h"
#include "app/seek.h"
#include "app/shell.h"
#include "app/timeline.h"
#include "app/transport.h"

namespace {

uint32_t fixedClock() { return 4321; }

TransportRequest pressAndTake(uint32_t key) {
    handleMessage(MessageRecord{key, false, true});
    const TransportRequest down = takeTransportRequest();
    handleMessage(MessageRecord{key, false, false});
    EXPECT_EQ(takeTransportRequest().action, TransportAction::None) << "a key-up asked for a move";
    return down;
}

ShownFrame shownAt(uint64_t index) {
    const uint32_t clock = frameClock(wholeRunSchedule(DefaultShowRate), index);
    return {index, clock, applyTimeline(0, clock)};
}

}  // namespace

TEST(Transport, EachKeyAsksOnItsKeyDownAndTheShowsOwnKeysKeepTheirParity) {
    EXPECT_EQ(pressAndTake(KeyP).action, TransportAction::TogglePause);
    EXPECT_EQ(pressAndTake(KeyLeft).action, TransportAction::Back);
    EXPECT_EQ(pressAndTake(KeyRight).action, TransportAction::Ahead);
    EXPECT_EQ(pressAndTake(KeyHome).action, TransportAction::ToStart);
    EXPECT_EQ(pressAndTake(KeyComma).action, TransportAction::FrameBack);
    EXPECT_EQ(pressAndTake(KeyPeriod).action, TransportAction::FrameAhead);
    EXPECT_EQ(pressAndTake(KeyL).action, TransportAction::ToggleSceneLoop);
    for (uint32_t n = 0; n <= 9; ++n) {
        const TransportRequest request = pressAndTake(KeyDigit0 + n);
        EXPECT_EQ(request.action, TransportAction::ToScene);
        EXPECT_EQ(request.value, n);
    }
    // A transport key between the two messages of an Enter press: still one skip, on the
    // second; Space after it prints once.
    setClockSource(&fixedClock);
    testing::internal::CaptureStdout();
    handleMessage(MessageRecord{KeyEnter, false, true});
    pressAndTake(KeyP);
    handleMessage(MessageRecord{KeyEnter, false, false});
    EXPECT_EQ(currentSceneIndex(), 1);
    handleMessage(MessageRecord{KeySpace, false, true});
    handleMessage(MessageRecord{KeySpace, false, false});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "4321\n");
    EXPECT_EQ(takeTransportRequest().action, TransportAction::None);
}

TEST(Transport, RequestsMoveTheShowOnTheWholeRunsGrid) {
    using Kind = TransportMove::Kind;
    TransportState state;
    const ShownFrame at47 = shownAt(showFrameAt(DefaultShowRate, 47000));  // 47000 ms
    const auto plan = [&](TransportAction action, uint32_t value = 0, ShownFrame shown = {}) {
        return planTransport(state, {action, value}, shown, DefaultShowRate);
    };
    EXPECT_EQ(plan(TransportAction::Back, 0, at47).seekMs, 42000u);
    EXPECT_EQ(plan(TransportAction::Back, 0, shownAt(300)).seekMs, 0u);  // 2500 ms: to 0
    EXPECT_EQ(plan(TransportAction::Ahead, 0, shownAt(10860)).seekMs, 95500u);  // past the end
    EXPECT_EQ(plan(TransportAction::ToStart, 0, at47).seekMs, 0u);
    EXPECT_EQ(plan(TransportAction::ToScene, 0, at47).seekMs, 0u);
    EXPECT_EQ(plan(TransportAction::ToScene, 4, at47).seekMs, 48097u);
    EXPECT_EQ(plan(TransportAction::ToScene, 9, at47).seekMs, 82597u);
    EXPECT_EQ(plan(TransportAction::SeekTo, 1234).kind, Kind::Seek);
    EXPECT_FALSE(state.paused);

    // Frame steps pause; back goes to the grid's previous frame (never before frame 0).
    const TransportMove back = plan(TransportAction::FrameBack, 0, at47);
    EXPECT_TRUE(state.paused);
    EXPECT_EQ(back.seekMs, frameClock(wholeRunSchedule(DefaultShowRate), at47.index - 1));
    EXPECT_EQ(plan(TransportAction::FrameBack, 0, shownAt(0)).seekMs, 0u);
    EXPECT_EQ(plan(TransportAction::FrameAhead, 0, at47).kind, Kind::StepAhead);
    EXPECT_EQ(plan(TransportAction::TogglePause, 0, at47).kind, Kind::Stay);
    EXPECT_FALSE(state.paused);
    // Uncapped frames have no grid: a step back is a millisecond.
    EXPECT_EQ(planTransport(state, {TransportAction::FrameBack, 0}, {7, 5000, 0}, UncappedShowRate).seekMs,
              4999u);

    // L loops the shown scene from its first clock value to its end; a second L ends it.
    state.paused = false;
    plan(TransportAction::ToggleSceneLoop, 0, at47);
    ASSERT_TRUE(state.looping);
    EXPECT_EQ(state.loop.fromMs, 32097u);
    EXPECT_EQ(state.loop.toMs, 48096u);
    EXPECT_EQ(planLoop(state, 48096).kind, Kind::Stay);  // still the scene's last frame
    const TransportMove loop = planLoop(state, 48100);
    EXPECT_EQ(loop.kind, Kind::Seek);
    EXPECT_EQ(loop.seekMs, 32097u);
    state.paused = true;
    EXPECT_EQ(planLoop(state, 48100).kind, Kind::Stay);  // a paused show stays
    plan(TransportAction::ToggleSceneLoop, 0, at47);
    EXPECT_FALSE(state.looping);
}

TEST(Transport, StatusLineSaysClockSceneStateAndLoop) {
    TransportState state;
    EXPECT_EQ(statusLineText(state, {0, 47000, 3}), "47.000 s  scene 3 particles");
    state.paused = true;
    state.looping = true;
    state.loop = {32097, 48096};
    EXPECT_EQ(statusLineText(state, {0, 90600, 10}),
              "90.600 s  scene 9 closing cube  paused  loop 32.097-48.096 s");
    // Nothing is shown before the first request.
    EXPECT_FALSE(statusLineShown(0));
}

TEST(Transport, LoopRangeOption) {
    const ParsedOptions good = parsePlayerOptions({"--loop-range=32096-48096"});
    ASSERT_EQ(good.error, "");
    EXPECT_TRUE(good.options.loopRange);
    EXPECT_EQ(good.options.loopFromMs, 32096u);
    EXPECT_EQ(good.options.loopToMs, 48096u);
    EXPECT_FALSE(good.options.startGiven);
    EXPECT_TRUE(parsePlayerOptions({"--loop-range", "0-90596", "--start=5"}).options.startGiven);
    for (const char* bad : {"--loop-range=5-5", "--loop-range=9-3", "--loop-range=0-90597",
                            "--loop-range=-5", "--loop-range=1-", "--loop-range", "--loop-range=a-b"})
        EXPECT_NE(parsePlayerOptions({bad}).error, "") << bad;
}

TEST(Transport, ClockSegmentsHoldWaitForTheirMusicAndThenFollowIt) {
    // A seek at wall 1000 ms to clock value 47000 with music: held until it is first heard.
    ClockSegment segment{1000.0, 47000, true, false};
    AudioClockState state;
    EXPECT_EQ(advanceSegmentClock(segment, state, 1100.0, std::nullopt, 10.0), 47000u);
    // Heard 150 ms after the seek, 0 ms into the new position: the clock starts there.
    EXPECT_EQ(advanceSegmentClock(segment, state, 1150.0, 0.0, 0.0), 47000u);
    EXPECT_EQ(advanceSegmentClock(segment, state, 1250.0, 100.0, 0.0), 47100u);
    // Music that never comes: held for MusicWaitMs, then wall time from the seek.
    ClockSegment silent{1000.0, 20000, true, false};
    AudioClockState other;
    EXPECT_EQ(advanceSegmentClock(silent, other, 1000.0 + MusicWaitMs - 1, std::nullopt, 0.0), 20000u);
    EXPECT_EQ(advanceSegmentClock(silent, other, 1000.0 + MusicWaitMs + 500, std::nullopt, 0.0),
              20000u + uint32_t(MusicWaitMs) + 500u);
    // Held (paused): the value whatever the wall time and the music say.
    ClockSegment held{0.0, 6225, false, true};
    EXPECT_EQ(advanceSegmentClock(held, state, 99999.0, 5.0, 20.0), 6225u);
}
