#include <gtest/gtest.h>

#include "app/timeline.h"
#include "capture_options.h"
#include "frame_plan.h"

namespace {

CaptureOptions parseGood(const std::vector<std::string>& args) {
    const ParsedCaptureOptions parsed = parseCaptureOptions(args);
    EXPECT_EQ(parsed.error, "");
    return parsed.options;
}

}  // namespace

TEST(CapturePlan, FrameClockValuesFollowTheFrameRateWithoutDrift) {
    EXPECT_EQ(frameClock(0, 60, 0), 0u);
    EXPECT_EQ(frameClock(0, 60, 1), 16u);
    EXPECT_EQ(frameClock(0, 60, 2), 33u);
    EXPECT_EQ(frameClock(0, 60, 3), 50u);
    EXPECT_EQ(frameClock(0, 60, 5436), 90600u);
    EXPECT_EQ(frameClock(85000, 120, 1), 85008u);
    EXPECT_EQ(frameClock(0, 7, 7000), 1000000u);
    // k * 1000 exceeds 32 bits long before the clock value does.
    EXPECT_EQ(frameClock(0, 1000, 5000000), 5000000u);
    EXPECT_EQ(frameClock(0, 3, 12884902), 4294967333u & 0xffffffffu);
}

// The plan's end agrees with the timeline itself: the frames it keeps are exactly those
// drawn before the frame in which the timeline runs out.
TEST(CapturePlan, RunEndsWhereTheTimelineRunsOut) {
    for (uint32_t fps : {1u, 7u, 24u, 60u, 120u, 144u, 1000u}) {
        for (uint32_t start : {0u, 18096u, 85000u, 90596u}) {
            int32_t scene = 0;
            uint64_t kept = 0;
            while (true) {
                scene = applyTimeline(scene, frameClock(start, fps, kept));
                if (scene >= 10) break;
                ++kept;
            }
            EXPECT_EQ(framesToEnd(start, fps), kept) << start << " ms at " << fps << " fps";
            EXPECT_LE(frameClock(start, fps, kept - 1), ShowEndMs);
        }
    }
    EXPECT_EQ(framesToEnd(0, 60), 5436u);
    EXPECT_EQ(framesToEnd(90597, 60), 0u);
}

TEST(CapturePlan, AtPicksTheFirstFrameAtOrPastEachValue) {
    for (uint32_t fps : {1u, 30u, 60u, 144u}) {
        for (uint32_t at : {0u, 1u, 16u, 17u, 1000u, 33333u, 90583u}) {
            const uint64_t k = firstFrameAtOrPast(0, fps, at);
            EXPECT_GE(frameClock(0, fps, k), at) << at << " at " << fps;
            if (k > 0) {
                EXPECT_LT(frameClock(0, fps, k - 1), at) << at << " at " << fps;
            }
        }
    }
    // Values before the start all fall on the first frame; values within one frame merge.
    EXPECT_EQ(atFrames(5000, 60, {100, 4999, 5000}), (std::vector<uint64_t>{0}));
    EXPECT_EQ(atFrames(0, 60, {40000, 17, 20, 33}), (std::vector<uint64_t>{2, 2400}));
}

TEST(CapturePlan, FileNamesCarryTheClockValueInFiveDigits) {
    EXPECT_EQ(frameFileName(0), "frame-00000.png");
    EXPECT_EQ(frameFileName(16), "frame-00016.png");
    EXPECT_EQ(frameFileName(90596), "frame-90596.png");
}

TEST(CapturePlan, RunLengthDependsOnTheOutputs) {
    EXPECT_EQ(framesToRun(parseGood({"--png", "f"})), 5436u);
    // --at alone stops right after the last chosen frame.
    EXPECT_EQ(framesToRun(parseGood({"--png", "f", "--at", "1000,20"})), 61u);
    // A video covers the rest of the show even with --at for the PNG frames.
    EXPECT_EQ(framesToRun(parseGood({"--png", "f", "--at", "1000", "--video", "v.mp4"})), 5436u);
    EXPECT_EQ(framesToRun(parseGood({"--sheet", "s.png", "--fps", "120"})),
              firstFrameAtOrPast(0, 120, 86000) + 1);
    EXPECT_EQ(framesToRun(parseGood({"--video", "v.mp4", "--start", "85000"})), 336u);
}

TEST(CaptureOptions, RefusesBadValuesAndCombinationsWithOneLine) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--png"},
        {"--png="},
        {"--frames", "x"},
        {"--png", "f", "--size", "0x10"},
        {"--png", "f", "--size", "10x"},
        {"--png", "f", "--size", "10x10x"},
        {"--png", "f", "--size", "8193x10"},
        {"--png", "f", "--size", "-4x10"},
        {"--png", "f", "--fps", "0"},
        {"--png", "f", "--fps", "1001"},
        {"--png", "f", "--fps", "60.5"},
        {"--png", "f", "--start", "90597"},
        {"--png", "f", "--at", "1,,2"},
        {"--png", "f", "--at", "90590"},  // the last frame at 60 fps is 90583
        {"--at", "1000"},
        {"--video", "v.mp4", "--size", "161x90"},
        {"--video", "v.mp4", "--size", "160x91"},
        {"--sheet", "s.png", "--start", "1000"},
        {"--png", "--video", "v.mp4"},  // an option is no value
        {"--video", "v.mp4", "--sheet", "-h"},
    };
    for (const auto& args : bad) {
        const std::string error = parseCaptureOptions(args).error;
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_NE(error, "") << joined;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    EXPECT_EQ(parseCaptureOptions({"--png", "f", "--at", "90583"}).error, "");
    EXPECT_EQ(parseCaptureOptions({"--png", "f", "--size", "161x91"}).error, "");
    // A name that starts with '-' goes attached.
    EXPECT_EQ(parseCaptureOptions({"--png=--odd"}).options.pngDir, "--odd");
}
