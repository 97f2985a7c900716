#include <gtest/gtest.h>

#include "app/timeline.h"
#include "capture_options.h"
#include "frame_plan.h"
#include "recorded_range.h"

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
        {"--video", "v.mp4", "--start", "1000", "--end", "1000"},
        {"--video", "v.mp4", "--end", "90598"},
        {"--sheet", "s.png", "--end", "5000"},
        {"--png", "f", "--at", "5000", "--end", "5000"},
        {"--png", "f", "--jobs", "2"},
        {"--video", "v.mp4", "--sheet", "s.png", "--jobs", "2"},
        {"--video", "v.mp4", "--jobs", "17"},
        {"--video", "v.mp4", "--supersample", "5"},
        {"--video", "v.mp4", "--supersample", "0"},
        {"--join", "a.mp4"},
        {"--join", "--video", "v.mp4"},
        {"--join", "a.mp4", "b.mp4", "--video", "v.mp4", "--size", "64x36"},
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
    const CaptureOptions join = parseGood({"--join", "a.mp4", "b.mp4", "--video", "v.mp4", "--join=c.mp4"});
    EXPECT_EQ(join.joinParts, (std::vector<std::string>{"a.mp4", "b.mp4", "c.mp4"}));
    // A name that starts with '-' goes attached.
    EXPECT_EQ(parseCaptureOptions({"--png=--odd"}).options.pngDir, "--odd");
}

// --end keeps the frames before it; the parts of a split recording tile its range, each
// starting on a key frame of the single run and on a whole ms, so that every part's own
// frames are exactly the single run's frames from there.
TEST(CapturePlan, RangesAndPartsHoldTheSingleRunsFrames) {
    EXPECT_EQ(outputFrameCount(capturePlan(parseGood({"--video", "v.mp4", "--start", "85000", "--end", "85500"}))), 30u);
    EXPECT_EQ(outputFrameCount(capturePlan(parseGood({"--video", "v.mp4", "--start", "85000", "--end", "85501"}))), 31u);
    EXPECT_EQ(outputFrameCount(capturePlan(parseGood({"--video", "v.mp4", "--start", "85000", "--end", "90597"}))), 336u);
    const std::vector<std::vector<std::string>> runs = {
        {"--video", "v.mp4"},
        {"--video", "v.mp4", "--fps", "25", "--start", "1234", "--end", "80001"},
        {"--video", "v.mp4", "--fps", "7", "--start", "3"},
        {"--video", "v.mp4", "--fps", "48", "--start", "70000"},
        {"--video", "v.mp4", "--fps", "1000", "--start", "89000"},
    };
    for (const auto& args : runs) {
        const CaptureOptions whole = parseGood(args);
        std::vector<uint32_t> wholeClocks;
        for (const CapturePoint& p : capturePlan(whole)) wholeClocks.push_back(p.clockMs);
        const uint64_t gop = std::max(1u, whole.fps / 2);
        for (const uint32_t jobs : {1u, 2u, 5u, 16u}) {
            const std::vector<PartRange> parts = splitRanges(whole, jobs);
            ASSERT_FALSE(parts.empty());
            EXPECT_LE(parts.size(), jobs);
            EXPECT_EQ(parts.front().startMs, whole.startMs);
            EXPECT_EQ(parts.back().endMs, whole.endMs);
            size_t next = 0;  // the single run's frame where the next part must begin
            for (size_t i = 0; i < parts.size(); ++i) {
                if (i > 0) {
                    EXPECT_EQ(parts[i].startMs, parts[i - 1].endMs);
                }
                CaptureOptions part = whole;
                part.startMs = parts[i].startMs;
                part.endMs = parts[i].endMs;
                const std::vector<CapturePoint> plan = capturePlan(part);
                ASSERT_FALSE(plan.empty()) << whole.fps << " fps, part " << i << " of " << jobs;
                EXPECT_EQ(next % gop, 0u) << whole.fps << " fps, part " << i << " of " << jobs;
                for (const CapturePoint& p : plan) {
                    ASSERT_LT(next, wholeClocks.size());
                    ASSERT_EQ(p.clockMs, wholeClocks[next++]) << whole.fps << " fps, part " << i << " of " << jobs;
                }
            }
            EXPECT_EQ(next, wholeClocks.size()) << whole.fps << " fps in " << jobs << " parts";
        }
    }
    // Too short for as many parts as asked: 36 frames are two GOPs.
    EXPECT_EQ(splitRanges(parseGood({"--video", "v.mp4", "--start", "90000"}), 4).size(), 2u);
}

// A part's comment names its range; a join accepts parts only when each starts where the
// one before ends, at one fps.
TEST(CapturePlan, JoinedPartsMustFollowEachOther) {
    RecordedRange read;
    ASSERT_TRUE(readRangeTag(rangeTag({85500, 306, 60}), read));
    EXPECT_EQ(read.startMs, 85500u);
    EXPECT_EQ(read.frames, 306u);
    EXPECT_EQ(read.fps, 60u);
    for (const char* junk : {"", "demo-capture clock 1 ms, 2 frames at 0 fps",
                             "demo-capture clock 1 ms, 2 frames at 60 fps and more", "Lavf59.27.100"})
        EXPECT_FALSE(readRangeTag(junk, read)) << junk;
    const std::vector<std::string> names = {"a", "b", "c"};
    RecordedRange whole;
    std::string error;
    ASSERT_TRUE(joinedRange({{80000, 330, 60}, {85500, 300, 60}, {90500, 5, 60}}, names, whole, error)) << error;
    EXPECT_EQ(whole.startMs, 80000u);
    EXPECT_EQ(whole.frames, 635u);
    EXPECT_FALSE(joinedRange({{80000, 330, 60}, {85516, 300, 60}}, names, whole, error));  // a gap
    EXPECT_EQ(error, "b starts at 85516 ms, not where a ends");
    EXPECT_FALSE(joinedRange({{80000, 331, 60}, {85516, 300, 60}}, names, whole, error));  // ends off the ms
    EXPECT_FALSE(joinedRange({{80000, 330, 60}, {85500, 300, 30}}, names, whole, error));
    EXPECT_FALSE(joinedRange({{85500, 300, 60}, {80000, 330, 60}}, names, whole, error));  // out of order
}
