#include <gtest/gtest.h>

#include "sync_report.h"

TEST(SyncReport, OffsetsArePositiveWhenTheMusicIsEarly) {
    const std::vector<bench::SyncSample> samples = {
        {75, 76, 76.0}, {2513, 2514, 2530.5}, {3165, 3166, 3150.0}};
    const bench::SyncSummary s = bench::summariseSync(samples);
    EXPECT_EQ(s.beats, 3);
    EXPECT_DOUBLE_EQ(s.maxMs, 16.5);
    EXPECT_DOUBLE_EQ(s.minMs, -16.0);
    EXPECT_DOUBLE_EQ(s.maxAbsMs, 16.5);
    EXPECT_NEAR(s.meanMs, 0.5 / 3, 1e-12);
    EXPECT_EQ(s.earlyOver15, 1);
    const std::string json = bench::formatSyncReport(samples, "wall", true);
    EXPECT_NE(json.find("\"early_over_15ms\": 1"), std::string::npos);
    EXPECT_EQ(bench::summariseSync({}).beats, 0);
}
