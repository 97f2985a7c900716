#include <gtest/gtest.h>

#include "platform/heard_position.h"

using namespace sound;

namespace {
constexpr int Rate = 44100;
constexpr int Buffer = 1024;                                 // device frames
constexpr double BufferUs = 1e6 * Buffer / Rate;             // 23.2 ms
}  // namespace

TEST(HeardPosition, AHandOverIsHeardOneBufferLaterAndForTwoBuffers) {
    // Nothing heard before the first hand-over.
    EXPECT_FALSE(heardFramesAt(0, 0, 5000000, Buffer, Rate));
    // Hand-over at 1 s after 44100 frames: its first frame is heard one buffer later.
    const uint64_t at = 1000000;
    EXPECT_NEAR(*heardFramesAt(at, 44100, at + uint64_t(BufferUs), Buffer, Rate), 44100.0, 0.1);
    EXPECT_NEAR(*heardFramesAt(at, 44100, at + 10000, Buffer, Rate),
                44100.0 - Buffer + 10000.0 * Rate / 1e6, 0.1);
    // Without more hand-overs the music has stopped after two buffers.
    EXPECT_TRUE(heardFramesAt(at, 44100, at + uint64_t(2 * BufferUs) - 1000, Buffer, Rate));
    EXPECT_FALSE(heardFramesAt(at, 44100, at + uint64_t(2 * BufferUs) + 1000, Buffer, Rate));
}

TEST(HeardPosition, AStreamsPlayedFrameIsTheSegmentFrameWrittenThere) {
    StreamMarks marks;
    EXPECT_FALSE(heardSegmentFrames(marks, 0, 0));
    // Silence while the first segment waited, then its music from frame 0, written in pieces:
    // pieces that go on from each other add no mark.
    noteStreamWrite(marks, 0, 1024, 0, 0, false);
    for (uint64_t at = 1024; at < 1024 * 5; at += 1024)
        noteStreamWrite(marks, at, 1024, 0, at - 1024, true);
    EXPECT_EQ(marks.count, 2u);
    EXPECT_FALSE(heardSegmentFrames(marks, 500, 0));           // the silence is being heard
    EXPECT_NEAR(*heardSegmentFrames(marks, 1024.5, 0), 0.5, 1e-9);
    EXPECT_NEAR(*heardSegmentFrames(marks, 3000, 0), 1976, 1e-9);
    EXPECT_FALSE(heardSegmentFrames(marks, 1024 * 5, 0));      // not written yet: ran dry
    // 2000 frames dropped to keep pace: the segment frame jumps where they were left out.
    noteStreamWrite(marks, 5120, 1024, 0, 4096 + 2000, true);
    EXPECT_NEAR(*heardSegmentFrames(marks, 5119, 0), 4095, 1e-9);
    EXPECT_NEAR(*heardSegmentFrames(marks, 5120, 0), 6096, 1e-9);
    // A music piece that ends early: the silence after it is not heard as music.
    noteStreamWrite(marks, 6144, 100, 0, 7120, true);
    noteStreamWrite(marks, 6244, 924, 0, 0, false);
    EXPECT_NEAR(*heardSegmentFrames(marks, 6200, 0), 7176, 1e-9);
    EXPECT_FALSE(heardSegmentFrames(marks, 6300, 0));
    // A seek: segment 1 from frame 0. While the old segment's music still plays nothing of
    // the new one is heard; once the stream reaches it, it is heard from 0.
    noteStreamWrite(marks, 7168, 1024, 1, 0, true);
    EXPECT_FALSE(heardSegmentFrames(marks, 5200, 1));
    EXPECT_NEAR(*heardSegmentFrames(marks, 7168 + 10, 1), 10, 1e-9);
    // Only the newest marks are kept: a frame older than all of them is not known.
    for (uint64_t i = 0; i < StreamMarks::Kept; ++i)
        noteStreamWrite(marks, 8192 + i * 1024, 1024, 1, i * 5000, true);
    EXPECT_FALSE(heardSegmentFrames(marks, 7200, 1));
    EXPECT_NEAR(*heardSegmentFrames(marks, 8192 + 1024 * 63 + 4, 1), 63 * 5000 + 4, 1e-9);
}

TEST(HeardPosition, AServersBlockwiseReadCountGivesTheFrameHeardAndFollowsItsLatency) {
    // A server that takes the stream a block at a time (1024 frames, as a graph cycle does),
    // each when its first frame is due to be heard; frame 0 is heard at 1 s. Reports every
    // 50 ms fall at every phase of a block: their read count is up to a block ahead.
    constexpr double StartUs = 1e6;
    constexpr uint64_t Block = 1024;
    const auto readAt = [&](uint64_t us) {
        return (uint64_t((double(us) - StartUs) * Rate / 1e6) / Block + 1) * Block;
    };
    StreamClock clock;
    EXPECT_FALSE(streamFrameHeard(clock, 1500000, Rate));
    uint64_t us = 1003000;
    for (; us < 3000000; us += 50000) {
        noteStreamTiming(clock, us, readAt(us), 0, Rate);
        const double truth = (double(us) - StartUs) * Rate / 1e6;
        const double heard = *streamFrameHeard(clock, us, Rate);
        EXPECT_GE(heard, truth - 0.5) << us;  // never behind what is heard
        if (us > 1400000) {
            EXPECT_LE(heard, truth + 0.15 * Block) << us;  // within 3.5 ms once reports are in
        }
    }
    // The sink switched to one 200 ms late: the stream is heard that much later from the
    // first report on (the picture holds; the first report is up to a block ahead again),
    // and when it switches back the frame heard moves on once the late reports have aged
    // out, well within a second.
    const auto heardOff = [&](double latencyUs) {
        return *streamFrameHeard(clock, us, Rate) - ((double(us) - StartUs - latencyUs) * Rate / 1e6);
    };
    noteStreamTiming(clock, us, readAt(us), 200000, Rate);
    EXPECT_GE(heardOff(200000), -0.5);
    EXPECT_LE(heardOff(200000), double(Block));
    for (const uint64_t until = us + 400000; us < until; us += 50000)
        noteStreamTiming(clock, us, readAt(us), 200000, Rate);
    EXPECT_NEAR(heardOff(200000), 0, 0.15 * Block);
    for (const uint64_t until = us + 1000000; us < until; us += 50000)
        noteStreamTiming(clock, us, readAt(us), 0, Rate);
    EXPECT_NEAR(heardOff(0), 0, 0.15 * Block);
}
