#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/show_rate.h"
#include "app/timeline.h"

TEST(FrameSchedule, ClockValuesFollowTheRateWithoutDriftOrOverflow) {
    EXPECT_EQ(frameClock({0, 60}, 0), 0u);
    EXPECT_EQ(frameClock({0, 60}, 1), 16u);
    EXPECT_EQ(frameClock({0, 60}, 2), 33u);
    EXPECT_EQ(frameClock({0, 60}, 3), 50u);
    EXPECT_EQ(frameClock({0, 60}, 5436), 90600u);
    EXPECT_EQ(frameClock({85000, 120}, 1), 85008u);
    EXPECT_EQ(frameClock({0, 7}, 7000), 1000000u);
    // k * 1000 exceeds 32 bits long before the clock value does.
    EXPECT_EQ(frameClock({0, 1000}, 5000000), 5000000u);
}

// framesThrough agrees with the timeline itself: the frames it counts are exactly those
// that run before the frame in which the timeline runs out; firstFrameAtOrPast is the
// first frame not before its value.
TEST(FrameSchedule, CountsAndFirstFramesAgreeWithTheClockValues) {
    for (uint32_t rate : {1u, 7u, 24u, 60u, 120u, 144u, 1000u}) {
        for (uint32_t start : {0u, 18096u, 85000u, 90596u}) {
            const FrameSchedule schedule{start, rate};
            int32_t scene = 0;
            uint64_t frames = 0;
            while ((scene = applyTimeline(scene, frameClock(schedule, frames))) < SceneCount) ++frames;
            EXPECT_EQ(framesThrough(schedule, ShowLengthMs), frames) << start << " ms at " << rate;
        }
        for (uint32_t at : {0u, 1u, 16u, 17u, 1000u, 33333u, 90583u}) {
            const FrameSchedule schedule{0, rate};
            const uint64_t k = firstFrameAtOrPast(schedule, at);
            EXPECT_GE(frameClock(schedule, k), at) << at << " at " << rate;
            if (k > 0) {
                EXPECT_LT(frameClock(schedule, k - 1), at) << at << " at " << rate;
            }
        }
    }
    EXPECT_EQ(framesThrough({0, 60}, ShowLengthMs), 5436u);
    EXPECT_EQ(framesThrough({5000, 60}, 4999), 0u);
}

namespace {

struct DisplayRun {
    std::vector<uint32_t> ranClocks;        // every show frame run, in order
    std::vector<uint32_t> presentedClocks;  // the show frame each present showed
};

// A display presenting at `presentClocks` (show clock of each present) over the tick driver.
DisplayRun presentAt(TickDriver driver, const std::vector<uint32_t>& presentClocks) {
    DisplayRun run;
    for (const uint32_t now : presentClocks) {
        const DueFrames due = takeDueFrames(driver, now);
        for (uint64_t k = due.first; k < due.first + due.count; ++k)
            run.ranClocks.push_back(dueFrameClock(driver, k, now));
        if (due.count > 0) run.presentedClocks.push_back(run.ranClocks.back());
    }
    return run;
}

std::vector<uint32_t> displayClocks(uint32_t hz, uint32_t untilMs) {
    std::vector<uint32_t> clocks;
    for (uint64_t i = 0; frameClock({0, hz}, i) <= untilMs; ++i) clocks.push_back(frameClock({0, hz}, i));
    return clocks;
}

}  // namespace

// Whatever the display's rate, the same show frames run, each once and in order; each
// present shows the newest show frame at or before its clock.
TEST(TickDriver, EveryDisplayRunsTheSameShowFrames) {
    TickDriver driver;
    driver.show = {0, DefaultShowRate};
    std::vector<uint32_t> expected;
    for (uint64_t k = 0; frameClock(driver.show, k) <= 2000; ++k) expected.push_back(frameClock(driver.show, k));
    for (uint32_t hz : {30u, 60u, 75u, 100u, 120u, 144u, 240u, 1000u}) {
        const DisplayRun run = presentAt(driver, displayClocks(hz, 2000));
        EXPECT_EQ(run.ranClocks, expected) << hz << " Hz";
        // A present with nothing new keeps the previous picture.
        const std::vector<uint32_t> presents = displayClocks(hz, 2000);
        std::vector<uint32_t> newest;
        for (const uint32_t now : presents) {
            const uint32_t clock = frameClock(driver.show, framesThrough(driver.show, now) - 1);
            if (newest.empty() || newest.back() != clock) newest.push_back(clock);
        }
        EXPECT_EQ(run.presentedClocks, newest) << hz << " Hz";
        // 60 Hz shows every second show frame; 240 Hz has nothing new at every other refresh.
        if (hz == 60) {
            EXPECT_EQ(run.presentedClocks.size(), presents.size());
        }
        if (hz == 240) {
            EXPECT_EQ(run.presentedClocks.size(), expected.size());
        }
    }
}

// More than StallMs of show clock due at once (a stopped process, a slow start) runs only
// the newest frame, as the original loop's one late frame; less runs every due frame.
TEST(TickDriver, AStallSkipsToTheNewestFrameAndABacklogDoesNot) {
    TickDriver driver;
    driver.show = {1000, 120};
    DueFrames due = takeDueFrames(driver, 1600);  // start-up took 600 ms
    EXPECT_EQ(due.count, 1u);
    EXPECT_EQ(dueFrameClock(driver, due.first, 1600), 1600u);
    due = takeDueFrames(driver, 1600);
    EXPECT_EQ(due.count, 0u);
    EXPECT_EQ(nextFrameClock(driver, 1600), 1608u);
    due = takeDueFrames(driver, 1800);  // 200 ms late: every frame runs
    EXPECT_EQ(due.count, 24u);
    EXPECT_EQ(dueFrameClock(driver, due.first, 1800), 1608u);
    due = takeDueFrames(driver, 1800 + StallMs + 20);  // frames 1808..2066 due
    EXPECT_EQ(due.count, 1u);
    // A simulated clock never stalls.
    TickDriver simulated;
    simulated.show = {0, 120};
    simulated.stallMs = NeverStall;
    EXPECT_EQ(takeDueFrames(simulated, 90596).count, framesThrough(simulated.show, 90596));
}

TEST(TickDriver, UncappedRunsOneFramePerPresentAtItsClock) {
    TickDriver driver;
    driver.show = {0, UncappedShowRate};
    for (const uint32_t now : {5u, 5u, 6u, 900u}) {
        const DueFrames due = takeDueFrames(driver, now);
        ASSERT_EQ(due.count, 1u);
        EXPECT_EQ(dueFrameClock(driver, due.first, now), now);
    }
}

namespace {

// Show frames run at each present of a display at `hz` whose clock reads `jitterMs` early or
// late at random, presents falling `phaseMs` after the start of a show frame.
std::vector<uint64_t> countsWithJitter(bool lock, uint32_t hz, double phaseMs, double jitterMs) {
    TickDriver driver;
    driver.show = {1000, 120};
    driver.lockCadence = lock;
    uint32_t seed = 12345;
    std::vector<uint64_t> counts;
    for (int i = 0; i < 600; ++i) {
        seed = seed * 1103515245u + 12345u;
        const double jitter = (double(seed >> 16 & 0x7fff) / 32767.0 * 2 - 1) * jitterMs;
        const auto now = uint32_t(1000 + 20 + phaseMs + i * 1000.0 / hz + jitter);
        counts.push_back(takeDueFrames(driver, now).count);
    }
    return counts;
}

}  // namespace

// A display in step with the show rate whose presents fall right at a show frame's start:
// the clock's jitter alone would run one and three show frames at some presents (judder);
// following the presents' phase, every present runs two (60 Hz) or every second present one
// (240 Hz). A display out of step (75 Hz) is left as it is.
TEST(TickDriver, ACadenceInStepStaysSteadyDespiteAJitteryClock) {
    const auto after = [](const std::vector<uint64_t>& counts) {
        return std::vector<uint64_t>(counts.begin() + 60, counts.end());  // once locked
    };
    const std::vector<uint64_t> raw60 = after(countsWithJitter(false, 60, 4.3, 1.5));
    EXPECT_NE(std::count(raw60.begin(), raw60.end(), 2u), long(raw60.size()));  // the judder
    const std::vector<uint64_t> locked60 = after(countsWithJitter(true, 60, 4.3, 1.5));
    EXPECT_EQ(std::count(locked60.begin(), locked60.end(), 2u), long(locked60.size()));
    const std::vector<uint64_t> locked240 = after(countsWithJitter(true, 240, 0.2, 0.8));
    for (size_t i = 2; i < locked240.size(); ++i) EXPECT_EQ(locked240[i] + locked240[i - 1], 1u) << i;
    EXPECT_EQ(countsWithJitter(true, 75, 0.4, 0.4), countsWithJitter(false, 75, 0.4, 0.4));
}
