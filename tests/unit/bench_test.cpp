#include <gtest/gtest.h>

#include <cmath>

#include "app/timeline.h"
#include "bench_options.h"
#include "bench_plan.h"
#include "bench_report.h"
#include "bench_stats.h"

using namespace bench;

TEST(BenchStats, PercentilesInterpolateBetweenRanksOfUnsortedSamples) {
    EXPECT_DOUBLE_EQ(percentile({4, 1, 3, 2}, 50), 2.5);
    std::vector<double> twenty;
    for (int i = 20; i >= 1; --i) twenty.push_back(i);
    EXPECT_DOUBLE_EQ(percentile(twenty, 95), 19.05);
    EXPECT_DOUBLE_EQ(percentile(twenty, 0), 1);
    EXPECT_DOUBLE_EQ(percentile(twenty, 100), 20);
    EXPECT_DOUBLE_EQ(percentile({7}, 95), 7);
    EXPECT_DOUBLE_EQ(percentile({}, 50), 0);

    const FrameStats stats = summarise({2, 2, 2, 14});  // 20 ms for 4 frames
    EXPECT_EQ(stats.frames, 4);
    EXPECT_DOUBLE_EQ(stats.fps, 200);
    EXPECT_DOUBLE_EQ(stats.p50Ms, 2);
    EXPECT_NEAR(stats.p95Ms, 12.2, 1e-9);
    EXPECT_EQ(summarise({}).frames, 0);
    EXPECT_EQ(summarise({}).fps, 0);
}

TEST(BenchPlan, PresentsCoverTheShowAndTimedOnesFallInTheirScene) {
    uint32_t previousLast = 0;
    for (int scene = 0; scene < 10; ++scene) {
        const ClockSpan span = sceneClockSpan(scene);
        if (scene > 0) {
            EXPECT_EQ(span.firstMs, previousLast + 1);
        }
        // Scene 0 also holds clock value 0.
        EXPECT_EQ(span.lastMs - span.firstMs + 1, Timeline[size_t(scene)] + (scene == 0 ? 1u : 0u));
        previousLast = span.lastMs;
    }
    EXPECT_EQ(previousLast, 90596u);
    for (const uint32_t hz : {60u, 144u}) {
        for (const int timed : {1, 7, 300, 20000}) {
            const std::vector<BenchPresent> plan = benchPlan(hz, timed, -1);
            ASSERT_EQ(plan.size(), framesThrough({0, hz}, 90596));
            std::array<int, 10> perScene{};
            for (size_t i = 0; i < plan.size(); ++i) {
                ASSERT_EQ(plan[i].clockMs, frameClock({0, hz}, i));
                if (plan[i].timedScene < 0) continue;
                // From any earlier scene, the timeline lands exactly on the timed scene.
                ASSERT_EQ(applyTimeline(0, plan[i].clockMs), plan[i].timedScene) << hz << " Hz, " << timed;
                ++perScene[size_t(plan[i].timedScene)];
            }
            for (int scene = 0; scene < 10; ++scene) {
                const ClockSpan span = sceneClockSpan(scene);
                const auto inScene = int(framesThrough({0, hz}, span.lastMs) - firstFrameAtOrPast({0, hz}, span.firstMs));
                EXPECT_EQ(perScene[size_t(scene)], std::min(timed, inScene)) << scene;
            }
        }
    }
    // --scene: only that scene's presents are timed.
    for (const BenchPresent& present : benchPlan(60, 5, 3))
        EXPECT_TRUE(present.timedScene == -1 || present.timedScene == 3);
}

TEST(BenchOptions, RejectsBadValues) {
    const ParsedBenchOptions set = parseBenchOptions({"--size", "640x360", "--frames", "12", "--json"});
    EXPECT_TRUE(set.error.empty()) << set.error;
    EXPECT_EQ(set.options.height, 360);

    const ParsedBenchOptions sweep = parseBenchOptions({"--sizes", "1280x720,3840x2160", "--scene", "9"});
    ASSERT_TRUE(sweep.error.empty()) << sweep.error;
    ASSERT_EQ(sweep.options.sizes.size(), 2u);
    EXPECT_EQ(sweep.options.sizes[1].width, 3840);
    EXPECT_EQ(sweep.options.sizes[1].height, 2160);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--size", "0x10"}, {"--size", "640x"}, {"--size", "640x360x2"},
          {"--size", "20000x10"}, {"--frames"}, {"--frames", "0"}, {"--frames", "1e3"},
          {"--frames", "-5"}, {"--julia", "12 "}, {"--dir", ""}, {"--fast"},
          {"--sizes", "640x360,"}, {"--sizes", ",640x360"}, {"--sizes", ""}, {"--scene", "10"},
          {"--show-rate", "1001"}, {"--refresh", "0"}}) {
        EXPECT_FALSE(parseBenchOptions(bad).error.empty()) << bad[0] << " " << (bad.size() > 1 ? bad[1] : "");
    }
}

// The JSON stays valid for any renderer name and for a lane set the machine lacks; the
// e2e run checks the whole document with a JSON parser.
TEST(BenchReport, JsonEscapesTextAndWritesMissingNumbersAsNull) {
    BenchResult result;
    result.quad = summarise({4, 4});
    for (size_t i = 0; i < result.scenes.size(); ++i) result.scenes[i].frames = summarise({double(i + 1)});
    result.scenes[3].reference = summarise({2});
    result.prepareMs = 20;
    result.firstFrameMs = 50;  // scene 0's steady frame takes 1 ms: 49 ms compiling
    result.julia.avx2Ms = NAN;
    result.renderer = "say \"hi\"";
    const std::string json = formatJson(result);
    EXPECT_NE(json.find("\"avx2_ms\": null"), std::string::npos) << json;
    EXPECT_NE(json.find("\"renderer\": \"say \\\"hi\\\"\""), std::string::npos) << json;
    // Scene 3's 4 ms frame against its 2 ms reference: twice its time; scene 4 has none.
    EXPECT_NE(json.find("\"reference_ratio\": 2.000"), std::string::npos) << json;
    EXPECT_NE(json.find("\"reference_ratio\": null", json.find("\"scene\": 4")), std::string::npos);
    EXPECT_NE(json.find("\"own_ms\": 21.0, \"first_frame_drawing_ms\": 1.0, \"first_frame_compiling_ms\": 49.0"),
              std::string::npos) << json;
}

TEST(BenchSweep, LargestSizeIsTheBiggestWhereEverySceneKeepsUp) {
    BenchResult result;
    result.showRate = 120;
    result.refreshHz = 60;
    EXPECT_EQ(neededFps(result), 60.0);  // one picture per refresh
    result.refreshHz = 240;
    EXPECT_EQ(neededFps(result), 120.0);  // no more pictures than show frames
    result.showRate = UncappedShowRate;
    EXPECT_EQ(neededFps(result), 240.0);
    const auto rowAt = [](int width, int height, double slowestFps) {
        SweepRow row{width, height, true, 60.0, {}};
        for (SceneResult& scene : row.scenes) scene.frames = summarise({5.0});  // 200 presents/s
        row.scenes[3].frames = summarise({1000.0 / slowestFps});
        return row;
    };
    // Listed out of order; 2560x1440 is just too slow, 1920x1080 just fast enough.
    std::vector<SweepRow> rows = {rowAt(1920, 1080, 60.5), rowAt(1280, 720, 150.0),
                                  rowAt(2560, 1440, 59.9)};
    EXPECT_EQ(largestSizeKeepingUp(rows), "1920x1080");
    rows[0].scenes[7].frames = FrameStats{};  // a scene that drew no frame counts as failing
    EXPECT_EQ(largestSizeKeepingUp(rows), "1280x720");
    EXPECT_NE(formatSweepTable(rows).find("second): 1280x720"), std::string::npos);
    rows.erase(rows.begin() + 1);
    EXPECT_EQ(largestSizeKeepingUp(rows), "");
    EXPECT_NE(formatSweepJson(rows).find("\"largest_size\": null"), std::string::npos);
}
