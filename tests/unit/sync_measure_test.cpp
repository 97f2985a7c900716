#include <gtest/gtest.h>

#include <cmath>

#include "scenes/flash_beats.h"
#include "sync_measure.h"
#include "sync_recording.h"

using namespace bench;

namespace {

constexpr double Rate = 44100;
constexpr int64_t BaseUs = 1796669000000000;  // recorder stamps are wall-clock µs

// Deterministic noise, stereo, `seconds` long.
std::vector<int16_t> noise(double seconds) {
    std::vector<int16_t> samples(size_t(seconds * Rate) * 2);
    uint32_t seed = 12345;
    for (int16_t& sample : samples) {
        seed = seed * 1664525u + 1013904223u;
        sample = int16_t(int(seed >> 20) - 2048) ;
    }
    return samples;
}

// A recording of the show run from 2000 ms: `leadS` of silence, then the soundtrack from
// `fromMs` as played (a recording started after a server restart begins with the music
// playing), packets stamped on the recorder's clock (the first ones still off by 200 ms,
// each off by `stampErrorUs(frame)`); the screen grabbed every 2 ms, each flash beat shown
// `lateMs(beat)` after it was heard.
double exactStamps(int64_t) { return 0; }
Recording syntheticRun(double (*lateMs)(uint32_t), double leadS = 1.0, double fromMs = 2000,
                       double (*stampErrorUs)(int64_t) = exactStamps) {
    Recording run;
    run.startMs = 2000;
    run.soundtrack = noise(9.0);
    run.sound.assign(size_t(leadS * Rate) * 2, 0);
    run.sound.insert(run.sound.end(), run.soundtrack.begin() + long(fromMs / 1000 * Rate) * 2,
                     run.soundtrack.begin() + long(8.5 * Rate) * 2);
    const int64_t frames = int64_t(run.sound.size() / 2);
    for (int64_t at = 0; at < frames; at += 2205) {
        const int64_t settling = at < int64_t(Rate) ? 200000 : 0;
        run.packets.push_back({BaseUs + at * 1000000 / int64_t(Rate) + settling + (at % 3) * 300 +
                                   int64_t(stampErrorUs(at)),
                               std::min<int64_t>(2205, frames - at)});
    }
    std::vector<int64_t> times;
    std::vector<uint8_t> pixels;
    for (int64_t us = 0; us < 7500000; us += 2000) {
        times.push_back(BaseUs + us);
        uint8_t level = us < 500000 ? 0 : 30;  // the show's window appears at 0.5 s
        for (const uint32_t beat : FlashBeats) {
            const double shownUs = (leadS + (double(beat) - fromMs) / 1000) * 1e6 + lateMs(beat) * 1000;
            if (double(us) >= shownUs && double(us) < shownUs + 40000) level = 230;
        }
        pixels.insert(pixels.end(), 8, level);
    }
    run.frames = grabFrames(times, pixels, 8);
    return run;
}

}  // namespace

TEST(SyncMeasure, EveryFlashOfARecordingIsFoundWithItsOffsetAndTheGoalsJudged) {
    const Recording run = syntheticRun([](uint32_t beat) { return beat % 2 ? 9.0 : -7.0; });
    const Measurement m = measureSync(run);
    // Flash beats whose moment lies inside the 6.5 s of music heard, after the screen shows.
    ASSERT_EQ(m.beats.size(), 10u);
    EXPECT_TRUE(m.notHeard.empty());
    for (const BeatMeasure& beat : m.beats) {
        ASSERT_TRUE(beat.seen) << beat.beatMs;
        // The grab places a change within one grab interval (2 ms) of when it happened.
        EXPECT_NEAR(beat.offsetMs(), beat.beatMs % 2 ? 9.0 : -7.0, 2.1) << beat.beatMs;
        EXPECT_LE(beat.seen->boundUs, 2000.0);
    }
    EXPECT_TRUE(missedGoals(m).empty());
    // A recording that begins with the music playing is placed by the screen.
    const Measurement restarted = measureSync(syntheticRun([](uint32_t) { return 4.0; }, 0.0, 3000));
    ASSERT_GE(restarted.beats.size(), 7u);
    for (const BeatMeasure& beat : restarted.beats) {
        ASSERT_TRUE(beat.seen) << beat.beatMs;
        EXPECT_NEAR(beat.offsetMs(), 4.0, 2.1) << beat.beatMs;
    }

    // A picture 30 ms late at one beat, and the music missing around another.
    Recording late = syntheticRun([](uint32_t beat) { return beat == 4786 ? 30.0 : 0.0; });
    const size_t gap = size_t((1.0 + (5888 - 2000) / 1000.0) * Rate);
    std::fill(late.sound.begin() + long(gap - 2000) * 2, late.sound.begin() + long(gap + 2000) * 2, 0);
    const Measurement lateMeasure = measureSync(late);
    EXPECT_EQ(lateMeasure.notHeard, std::vector<uint32_t>{5888});
    const std::vector<std::string> missed = missedGoals(lateMeasure);
    ASSERT_EQ(missed.size(), 1u);
    EXPECT_EQ(missed[0], "beat 4786: music early by 30.0 ms");
}

TEST(SyncMeasure, TheSoundIsTimedByItsSampleCountAndTheStampsBoundOnly) {
    // Stamps that scatter by up to +/-20 ms from packet to packet (a server whose latency
    // report jumps): every beat is still timed to the grab's precision, and the bound says
    // the stamps agree on the anchor.
    const auto scattered = [](int64_t frame) {
        return double(int64_t((uint64_t(frame) * 2654435761u) % 40001) - 20000);
    };
    const Measurement m = measureSync(syntheticRun([](uint32_t) { return 3.0; }, 1.0, 2000, scattered));
    ASSERT_EQ(m.beats.size(), 10u);
    for (const BeatMeasure& beat : m.beats) {
        ASSERT_TRUE(beat.seen) << beat.beatMs;
        EXPECT_NEAR(beat.offsetMs(), 3.0, 3.0) << beat.beatMs;
    }
    EXPECT_LT(m.soundBoundUs, 4000.0);
    // Stamps that wander through the music, 4 ms per second from the sample count: the
    // bound grows with it.
    const auto wandering = [](int64_t frame) { return 4000.0 * (double(frame) / Rate - 5.25); };
    const Measurement w = measureSync(syntheticRun([](uint32_t) { return 0.0; }, 1.0, 2000, wandering));
    EXPECT_GT(w.soundBoundUs, 4000.0);
    EXPECT_LT(w.soundBoundUs, 12000.0);
    ASSERT_EQ(w.beats.size(), 10u);
    for (const BeatMeasure& beat : w.beats) {
        ASSERT_TRUE(beat.seen) << beat.beatMs;
        EXPECT_LE(std::fabs(beat.offsetMs()), w.soundBoundUs / 1000 + 2.1) << beat.beatMs;
    }
}

TEST(SyncMeasure, AConstantLagOfThePictureIsStillMatchedBeatByBeat) {
    std::vector<BeatMeasure> beats;
    std::vector<ScreenEvent> flashes;
    for (const uint32_t beat : {2513u, 3165u, 4576u, 4786u}) {
        beats.push_back({beat, true, beat * 1000.0, std::nullopt});
        flashes.push_back({beat * 1000.0 - 1890000.0 + (beat % 7) * 1000.0, 1000});
    }
    const double common = commonOffsetUs(beats, flashes, {}, 3e6);
    EXPECT_NEAR(common, -1888000.0, 4000.0);
    matchEvents(beats, flashes, {}, common, 80e3);
    for (const BeatMeasure& beat : beats) {
        ASSERT_TRUE(beat.seen);
        EXPECT_NEAR(beat.offsetMs(), -1890.0 + beat.beatMs % 7, 1e-6);
    }
}

TEST(SyncRecording, TimeStampsAreReadExactly) {
    EXPECT_EQ(secondsToUs("1796669126.781657"), 1796669126781657);
    EXPECT_EQ(secondsToUs("12.5"), 12500000);
    EXPECT_EQ(secondsToUs("7"), 7000000);
    EXPECT_EQ(secondsToUs("3.1234567"), 3123456);
    EXPECT_FALSE(secondsToUs("N/A"));
    EXPECT_FALSE(secondsToUs("-1.0"));
    EXPECT_FALSE(secondsToUs(""));
}
