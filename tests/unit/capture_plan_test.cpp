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

TEST(CapturePlan, FileNamesCarryTheClockValueInFiveDigits) {
    EXPECT_EQ(frameFileName(0), "frame-00000.png");
    EXPECT_EQ(frameFileName(16), "frame-00016.png");
    EXPECT_EQ(frameFileName(90596), "frame-90596.png");
}

// The video and the PNG sequence take every output frame; --at and the sheet add the first
// show frame at or past each of their values; a run with neither ends at its last kept frame.
TEST(CapturePlan, PointsFollowTheOutputsAndTheShowRate) {
    const std::vector<CapturePoint> all = capturePlan(parseGood({"--png", "f"}));
    EXPECT_EQ(all.size(), 5436u);
    EXPECT_EQ(outputFrameCount(all), 5436u);
    EXPECT_EQ(all[1].clockMs, 16u);
    // --at alone: only the kept show frames (120 a second by default), in clock order.
    const std::vector<CapturePoint> at = capturePlan(parseGood({"--png", "f", "--at", "1000,20,21"}));
    ASSERT_EQ(at.size(), 2u);
    EXPECT_EQ(at[0].clockMs, 25u);  // show frame 3: 20 and 21 fall on it
    EXPECT_EQ(at[1].clockMs, 1000u);
    EXPECT_TRUE(at[0].atFrame && !at[0].outputFrame);
    // With --show-rate 0 the kept frames are output frames, as the old recorder's.
    EXPECT_EQ(capturePlan(parseGood({"--png", "f", "--at", "20", "--show-rate", "0"}))[0].clockMs, 33u);
    // A video covers the rest of the show even with --at for the PNG frames; a kept frame
    // between two output frames is a point of its own.
    const std::vector<CapturePoint> mixed =
        capturePlan(parseGood({"--png", "f", "--at", "25", "--video", "v.mp4"}));
    EXPECT_EQ(outputFrameCount(mixed), 5436u);
    EXPECT_EQ(mixed.size(), 5437u);
    EXPECT_EQ(mixed[2].clockMs, 25u);
    EXPECT_TRUE(mixed[2].atFrame && !mixed[2].outputFrame);
    // The sheet: eleven moments, the last the closing cube's.
    const std::vector<CapturePoint> sheet = capturePlan(parseGood({"--sheet", "s.png"}));
    EXPECT_EQ(sheet.size(), 11u);
    EXPECT_EQ(sheet.back().clockMs, 86000u);
    EXPECT_EQ(outputFrameCount(capturePlan(parseGood({"--video", "v.mp4", "--start", "85000"}))), 336u);
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
        {"--png", "f", "--at", "90596"},  // the last show frame at 120 a second is 90591
        {"--png", "f", "--at", "90590", "--show-rate", "0"},  // the last frame at 60 fps is 90583
        {"--png", "f", "--show-rate", "1001"},
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
    EXPECT_EQ(parseCaptureOptions({"--png", "f", "--at", "90591"}).error, "");
    EXPECT_EQ(parseCaptureOptions({"--png", "f", "--at", "90583", "--show-rate", "0"}).error, "");
    EXPECT_EQ(parseCaptureOptions({"--png", "f", "--size", "161x91"}).error, "");
    // A name that starts with '-' goes attached.
    EXPECT_EQ(parseCaptureOptions({"--png=--odd"}).options.pngDir, "--odd");
}
