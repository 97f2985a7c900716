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
    EXPECT_TRUE(captionLinesAt(0).empty());
    EXPECT_TRUE(captionLinesAt(3000).empty());
    ASSERT_EQ(captionLinesAt(3001).size(), 1u);
    EXPECT_EQ(std::string(captionLinesAt(3001)[0].text), "Presented at Vesk");
    EXPECT_EQ(captionLinesAt(3001)[0].x, 10);
    EXPECT_EQ(captionLinesAt(3001)[0].y, 140);
    EXPECT_EQ(std::string(captionLinesAt(8000)[0].text), "Presented at Vesk");

    const auto code = captionLinesAt(8001);
    ASSERT_EQ(code.size(), 2u);
    EXPECT_EQ(std::string(code[0].text), "Code");
    EXPECT_EQ(std::string(code[1].text), "Tovalin\nMurdoquin\nVelorn\nOstrik");
    EXPECT_EQ(std::string(code[1].text).size(), 31u);
    EXPECT_EQ(code[1].y, 80);
    EXPECT_EQ(std::string(captionLinesAt(13000)[0].text), "Code");

    const auto music = captionLinesAt(13001);
    ASSERT_EQ(music.size(), 2u);
    EXPECT_EQ(std::string(music[0].text), "Music");
    EXPECT_EQ(std::string(music[1].text), "Murdoquin");
    EXPECT_EQ(captionLinesAt(4000000000u).size(), 2u);  // unsigned: stays on the last block
}
