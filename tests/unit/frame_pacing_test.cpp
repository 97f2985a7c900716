#include <gtest/gtest.h>

#include "frame_pacing.h"

// The page draws like the show at 120 frames per second or more, whatever the display.
TEST(FramePacing, TwoFramesPerCallbackBelow120Hz) {
    // 60 Hz with its jitter: two frames, the first halfway, the second at the clock now.
    for (const double interval : {16.7, 15.9, 17.6}) {
        const CallbackFrames f = framesForCallback(interval, 1000, 1017);
        ASSERT_EQ(f.count, 2) << interval;
        EXPECT_EQ(f.clockMs[0], 1008u);
        EXPECT_EQ(f.clockMs[1], 1017u);
    }
    EXPECT_EQ(framesForCallback(11.1, 1000, 1011).count, 2);  // 90 Hz: 90 alone would be too few
    // 120 Hz with jitter, and 144 Hz: one frame, at the clock now.
    for (const double interval : {8.3, 9.2, 6.9}) {
        const CallbackFrames f = framesForCallback(interval, 1000, 1008);
        ASSERT_EQ(f.count, 1) << interval;
        EXPECT_EQ(f.clockMs[0], 1008u);
    }
    // A clock behind the last frame is not drawn earlier than it.
    const CallbackFrames back = framesForCallback(16.7, 2000, 1990);
    EXPECT_EQ(back.clockMs[0], 2000u);
    EXPECT_EQ(back.clockMs[1], 2000u);
}
