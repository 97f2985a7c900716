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
        EXPECT_EQ(framesToDrop(pace, at, consumed, Rate, Tolerance, true), 0u) << i;
    }
    // A device a little fast moves the pace earlier, so a later stall counts from there.
    const uint64_t fastAt = 1000000 + consumed * 1000000 / Rate - 5000;
    EXPECT_EQ(framesToDrop(pace, fastAt, consumed, Rate, Tolerance, true), 0u);
    // The output stalls for 300 ms: the 300 ms it missed are dropped, once.
    const uint64_t lateAt = fastAt + 1024 * 1000000 / Rate + 300000;
    consumed += 1024;
    const uint64_t dropped = framesToDrop(pace, lateAt, consumed, Rate, Tolerance, true);
    EXPECT_NEAR(double(dropped), 0.3 * Rate, 1.0);
    consumed += dropped;
    EXPECT_EQ(framesToDrop(pace, lateAt + 23220, consumed + 1024, Rate, Tolerance, true), 0u);
}

TEST(OutputPace, CountsOnlyFromWhenTheOutputPlays) {
    constexpr int Rate = 44100;
    constexpr uint64_t Tolerance = 1536;  // frames
    constexpr uint64_t Prebuffer = 2646;  // frames a server's stream takes before it plays
    OutputPace pace;
    // The stream takes its first music, then its sink takes 1.8 s to start: the wait is no
    // music missed, and the start of play keeps the music from its first frame.
    EXPECT_EQ(framesToDrop(pace, 20000, Prebuffer, Rate, Tolerance, false), 0u);
    EXPECT_EQ(framesToDrop(pace, 1020000, Prebuffer, Rate, Tolerance, false), 0u);
    const uint64_t playsAt = 1820000;
    uint64_t consumed = Prebuffer;
    EXPECT_EQ(framesToDrop(pace, playsAt, consumed, Rate, Tolerance, true), 0u);
    for (int i = 1; i <= 100; ++i) {
        consumed += 882;
        const uint64_t at = playsAt + uint64_t(i) * 20000;
        EXPECT_EQ(framesToDrop(pace, at, consumed, Rate, Tolerance, true), 0u) << i;
    }
    // Once it plays, a lost server (3 s until a new stream takes music) is music missed, and
    // the new stream resumes where the music is due; a new sink starting then (not playing
    // yet) drops nothing more until it plays.
    const uint64_t backAt = playsAt + 100 * 20000 + 3000000;
    const uint64_t dropped = framesToDrop(pace, backAt, consumed, Rate, Tolerance, true);
    EXPECT_NEAR(double(dropped), 3.0 * Rate, 1.0);
    consumed += dropped;
    EXPECT_EQ(framesToDrop(pace, backAt + 1000000, consumed + Prebuffer, Rate, Tolerance, false), 0u);
}
