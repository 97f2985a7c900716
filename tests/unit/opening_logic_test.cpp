#include <gtest/gtest.h>

#include <string>

#include "app/timeline.h"
#include "scenes/captions.h"
#include "scenes/flash_beats.h"

namespace {

// Runs frames at `firstFrame`, +step, ... while the timeline still shows scene 0 and
// records for each beat how many frames drew it.
std::array<int, 23> framesPerBeat(uint32_t firstFrame, uint32_t step) {
    FlashState state;
    std::array<int, 23> shown{};
    for (uint32_t now = firstFrame; applyTimeline(0, now) == 0; now += step) {
        if (advanceFlash(state, now)) ++shown[state.index];
    }
    return shown;
}

}  // namespace

TEST(FlashBeats, FirstBeatLiesBeforeTheFirstFrameAndEndsOnTheNext) {
    FlashState state;
    EXPECT_TRUE(advanceFlash(state, 180));  // start-up took 180 ms: beat 75 shows at once
    EXPECT_EQ(state.index, 0u);
    EXPECT_FALSE(advanceFlash(state, 196));  // its 40 ms are over; 2513 is still ahead
    EXPECT_EQ(state.index, 1u);
    EXPECT_FALSE(state.active);
    EXPECT_FALSE(advanceFlash(state, 2513));  // strictly after the beat only
    EXPECT_TRUE(advanceFlash(state, 2514));
    EXPECT_TRUE(advanceFlash(state, 2553));  // 2513 + 40 is not yet strictly passed
    EXPECT_FALSE(advanceFlash(state, 2554));
}

TEST(FlashBeats, BeatsPassedInAStallShowOneFrameEach) {
    FlashState state;
    // Frames 1 ms apart after a stall to 5300: beats 75 .. 5227 (six) one frame each.
    for (uint32_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(advanceFlash(state, 5300 + i)) << i;
        EXPECT_EQ(state.index, i);
    }
    EXPECT_FALSE(advanceFlash(state, 5306));  // 5227 + 40 passed, 5888 ahead
    EXPECT_EQ(state.index, 6u);
}

TEST(FlashBeats, EveryBeatButTheLastFlashesWithinSceneZero) {
    for (uint32_t step : {1u, 16u, 45u, 300u}) {
        const auto shown = framesPerBeat(10, step);
        for (std::size_t i = 0; i + 1 < shown.size(); ++i) {
            EXPECT_GE(shown[i], 1) << "beat " << i << " step " << step;
            if (step == 1) {
                EXPECT_EQ(shown[i], 40) << "beat " << i;
            }
        }
        EXPECT_EQ(shown.back(), 0) << "18096 flashed with step " << step;
    }
}

TEST(Captions, WindowsChangeOneMillisecondAfterTheirBounds) {
    auto first = [](uint32_t now) {
        const auto lines = captionLinesAt(now);
        return lines.empty() ? std::string() : std::string(lines[0].text);
    };
    EXPECT_EQ(first(0), "");
    EXPECT_EQ(first(3000), "");
    EXPECT_EQ(first(3001), "Presented at Vesk");
    EXPECT_EQ(first(8000), "Presented at Vesk");
    EXPECT_EQ(first(8001), "Code");
    EXPECT_EQ(first(13000), "Code");
    EXPECT_EQ(first(13001), "Music");
    EXPECT_EQ(first(4000000000u), "Music");  // unsigned: stays on the last block
}
