#include <gtest/gtest.h>

#include "platform/output_pace.h"

using sound::framesToDrop;
using sound::OutputPace;

TEST(OutputPace, MusicTheOutputMissedIsDroppedAndNothingElse) {
    constexpr int Rate = 44100;
    constexpr uint64_t Tolerance = 1536;  // frames
    OutputPace pace;
    // Hand-overs of 1024 frames every 23.22 ms, with up to 20 ms of lateness: nothing dropped.
    uint64_t consumed = 0;
    for (int i = 0; i < 100; ++i, consumed += 1024) {
        const uint64_t at = 1000000 + uint64_t(i) * 1024 * 1000000 / Rate + (i % 3 == 1 ? 20000 : 0);
        EXPECT_EQ(framesToDrop(pace, at, consumed, Rate, Tolerance), 0u) << i;
    }
    // A device a little fast moves the pace earlier, so a later stall counts from there.
    const uint64_t fastAt = 1000000 + consumed * 1000000 / Rate - 5000;
    EXPECT_EQ(framesToDrop(pace, fastAt, consumed, Rate, Tolerance), 0u);
    // The output stalls for 300 ms: the 300 ms it missed are dropped, once.
    const uint64_t lateAt = fastAt + 1024 * 1000000 / Rate + 300000;
    consumed += 1024;
    const uint64_t dropped = framesToDrop(pace, lateAt, consumed, Rate, Tolerance);
    EXPECT_NEAR(double(dropped), 0.3 * Rate, 1.0);
    consumed += dropped;
    EXPECT_EQ(framesToDrop(pace, lateAt + 23220, consumed + 1024, Rate, Tolerance), 0u);
}
