#include <gtest/gtest.h>

#include "platform/heard_position.h"

using namespace sound;

namespace {
constexpr int Rate = 44100;
constexpr int Buffer = 1024;                                 // device frames
constexpr double BufferUs = 1e6 * Buffer / Rate;             // 23.2 ms
}  // namespace

TEST(HeardPosition, TheOutputsLatencyPutsTheMusicHeardLaterAndKeepsItHeardLonger) {
    // Nothing heard before the first hand-over.
    EXPECT_FALSE(heardFramesAt(0, 0, 5000000, Buffer, Rate, 0));
    // Hand-over at 1 s after 44100 frames: its first frame is heard one buffer later.
    const uint64_t at = 1000000;
    EXPECT_NEAR(*heardFramesAt(at, 44100, at + uint64_t(BufferUs), Buffer, Rate, 0), 44100.0, 0.1);
    // A server that holds 200 ms more: that frame is heard 200 ms after that.
    EXPECT_NEAR(*heardFramesAt(at, 44100, at + uint64_t(BufferUs) + 200000, Buffer, Rate, 200000),
                44100.0, 0.1);
    EXPECT_NEAR(*heardFramesAt(at, 44100, at + 10000, Buffer, Rate, 200000),
                44100.0 - Buffer + (10000.0 - 200000.0) * Rate / 1e6, 0.1);
    // Without more hand-overs the music has stopped after two buffers, or two buffers and
    // the latency behind a server that holds more.
    EXPECT_FALSE(heardFramesAt(at, 44100, at + uint64_t(2 * BufferUs) + 1000, Buffer, Rate, 0));
    EXPECT_TRUE(heardFramesAt(at, 44100, at + uint64_t(2 * BufferUs) + 1000, Buffer, Rate, 200000));
    EXPECT_FALSE(heardFramesAt(at, 44100, at + uint64_t(2 * BufferUs) + 201000, Buffer, Rate, 200000));
}

TEST(HeardPosition, TheServersAnswersGiveTheLatencyBeyondTheModelRobustly) {
    // The server's latency runs to the last frame SDL has passed on, and SDL passes on the
    // newest buffer piecewise: none, half or all of it may be with the server when it
    // answers. Where the output plays just as the model says (that buffer's first frame heard
    // one buffer after the hand-over), the answer is off the model by at most half a buffer,
    // whenever asked, and not at all when half of it was passed on.
    const uint64_t callback = 5000000;
    const double firstHeardUs = double(callback) + BufferUs;
    for (const uint64_t since : {0, 5000, 15000, 23000}) {
        const uint64_t asked = callback + since;
        const double measured = double(asked) + 200;  // answered after 0.4 ms
        for (const double passedUs : {0.0, BufferUs / 2, BufferUs}) {
            const double latencyUs = firstHeardUs + passedUs - measured;
            const double extra = reportedExtraUs(callback, asked, asked + 400, latencyUs, Buffer, Rate);
            EXPECT_NEAR(extra, passedUs - BufferUs / 2, 1.0) << since << " " << passedUs;
        }
    }
    // One that holds 250 ms more, answering after 1 ms, with half the buffer passed on.
    EXPECT_NEAR(reportedExtraUs(callback, callback + 8000, callback + 9000,
                                firstHeardUs + BufferUs / 2 - (callback + 8500) + 250000, Buffer, Rate),
                250000.0, 1.0);

    // The median of the latest answers: one odd answer (caught between a server's block
    // writes) does not move it, a lasting change does; less than the model leaves it as is.
    LatencyReports reports;
    EXPECT_EQ(extraLatencyUs(reports), 0.0);
    for (const double extra : {-12000.0, -13000.0, -11000.0}) noteLatencyReport(reports, extra);
    EXPECT_EQ(extraLatencyUs(reports), 0.0);
    for (int i = 0; i < 8; ++i) noteLatencyReport(reports, 200000.0 + i * 1000);
    EXPECT_NEAR(extraLatencyUs(reports), 203000.0, 1.0);  // only the newest nine count
    noteLatencyReport(reports, 900000.0);
    EXPECT_NEAR(extraLatencyUs(reports), 204000.0, 1.0);
    for (int i = 0; i < 5; ++i) noteLatencyReport(reports, 100000.0);
    EXPECT_EQ(extraLatencyUs(reports), 100000.0);
}
