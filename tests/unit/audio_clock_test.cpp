#include <gtest/gtest.h>

#include "app/audio_clock.h"

#include <algorithm>
#include <cmath>

#include "app/show_rate.h"

TEST(AudioClock, WithoutMusicItIsWallTimePlusTheStartOffset) {
    AudioClockState state;
    EXPECT_EQ(advanceAudioClock(state, 10.7, std::nullopt, 0), 10u);
    EXPECT_EQ(advanceAudioClock(state, 250.2, std::nullopt, 0), 250u);
    AudioClockState late;
    EXPECT_EQ(advanceAudioClock(late, 5.0, std::nullopt, 42000), 42005u);
}

TEST(AudioClock, FirstHeardPositionSetsTheCorrectionButTheClockNeverGoesBack) {
    AudioClockState state;
    EXPECT_EQ(advanceAudioClock(state, 40.0, std::nullopt, 0), 40u);
    // Music frame 0 is heard only at wall 60: the clock holds until it catches up.
    EXPECT_EQ(advanceAudioClock(state, 60.0, 0.0, 0), 40u);
    EXPECT_EQ(advanceAudioClock(state, 90.0, 30.0, 0), 40u);
    EXPECT_EQ(advanceAudioClock(state, 110.0, 50.0, 0), 50u);
    // Music that stops being heard leaves the correction where it was.
    EXPECT_EQ(advanceAudioClock(state, 1110.0, std::nullopt, 0), 1050u);
}

TEST(AudioClock, DriftIsFollowedSmoothlyAtTheSlewLimit) {
    AudioClockState state;
    advanceAudioClock(state, 100.0, 100.0, 0);
    // The device runs 4 % slow: within the slew limit, the clock keeps in step with it.
    uint32_t previous = 100;
    double wall = 100.0, heard = 100.0;
    for (int frame = 0; frame < 1000; ++frame) {
        wall += 10.0;
        heard += 9.6;
        const uint32_t value = advanceAudioClock(state, wall, heard, 0);
        EXPECT_GE(value, previous);
        EXPECT_LE(value - previous, 11u);
        previous = value;
    }
    EXPECT_NEAR(state.correctionMs, -400.0, 1e-6);
    // A sudden 100 ms gap is closed at no more than MaxSlew per ms of wall time.
    const double before = state.correctionMs;
    advanceAudioClock(state, wall + 10.0, heard + 9.6 + 100.0, 0);
    EXPECT_NEAR(state.correctionMs - before, MaxSlew * 10.0, 1e-9);
}

TEST(AudioClock, ALatencyThatChangesIsFollowedWithinASecondAndTheClockNeverGoesBack) {
    // Frames every 10 ms; the music is heard 80 ms late, then 280 ms (a Bluetooth headset),
    // then 80 ms again. Short bursts of a wider gap (a late report, 200 ms of it) are not
    // followed at once.
    AudioClockState state;
    uint32_t previous = 0;
    double followedAtMs = -1;
    const auto run = [&](double fromMs, double untilMs, double lateMs) {
        followedAtMs = -1;
        for (double wall = fromMs; wall < untilMs; wall += 10.0) {
            const uint32_t value = advanceAudioClock(state, wall, wall - lateMs, 0);
            EXPECT_GE(value, previous) << wall;
            previous = value;
            if (followedAtMs < 0 && std::fabs(double(value) - (wall - lateMs)) <= 2.0) followedAtMs = wall;
        }
    };
    run(0, 2000, 80);
    run(2000, 2200, 120);
    EXPECT_LT(followedAtMs, 0);  // not followed in 200 ms: slewed by 5 % only
    run(2200, 5000, 80);
    EXPECT_NEAR(state.correctionMs, -80.0, 1e-9);
    run(5000, 8000, 280);
    EXPECT_GE(followedAtMs, 5000.0);
    EXPECT_LE(followedAtMs, 5000.0 + 1000.0);
    run(8000, 11000, 80);
    EXPECT_GE(followedAtMs, 8000.0);
    EXPECT_LE(followedAtMs, 8000.0 + 1000.0);
    EXPECT_NEAR(state.correctionMs, -80.0, 1e-9);
}

TEST(AudioClock, MusicThatLostItsPlaceIsNotFollowed) {
    AudioClockState state;
    advanceAudioClock(state, 100.0, 40.0, 0);  // anchored 60 ms behind
    // The process was stopped for 20 s: wall time jumps, the music resumes where it was.
    EXPECT_EQ(advanceAudioClock(state, 20100.0, 41.0, 0), 20040u);
    EXPECT_EQ(advanceAudioClock(state, 20200.0, 141.0, 0), 20140u);
}

TEST(AudioClock, AFirstHeardPositionSecondsLateStillAnchorsAndTheClockHoldsUntilItIsReached) {
    // A sound server whose sink wakes up slowly: frames run on wall time from 400 ms (--start
    // 85000), and the music's first frame is heard only at 1900 ms.
    AudioClockState state;
    uint32_t previous = 0;
    for (double wall = 400.0; wall < 1900.0; wall += 20.0) {
        previous = advanceAudioClock(state, wall, std::nullopt, 85000);
    }
    EXPECT_EQ(previous, 86880u);
    // From then on the picture follows the music: it holds (never going back) until the music
    // reaches what was shown, then the clock is the heard position.
    for (double wall = 1900.0; wall <= 8000.0; wall += 20.0) {
        const double heard = wall - 1900.0;
        const uint32_t value = advanceAudioClock(state, wall, heard, 85000);
        EXPECT_GE(value, previous);
        EXPECT_EQ(value, std::max<uint32_t>(86880u, uint32_t(85000 + heard)));
        previous = value;
    }
    EXPECT_TRUE(state.anchored);
    EXPECT_NEAR(state.correctionMs, -1900.0, 1e-9);
}

TEST(AudioClock, FramesAreDrawnForTheMomentTheyAreSeen) {
    // Frames every 10 ms that take 8 ms from the clock read to the end of presenting: each
    // is drawn for 8 ms plus three quarters of a frame ahead.
    PresentLead lead;
    double read = 0;
    for (int frame = 0; frame < 200; ++frame, read += 10.0) notePresentedFrame(lead, read, read + 8.0);
    EXPECT_NEAR(lead.leadMs(), 15.5, 0.01);
    AudioClockState state;
    EXPECT_EQ(advanceAudioClock(state, 500.2, 480.2, 0, lead.leadMs()), 495u);
    // A stalled frame counts as MaxLeadMs at most, and the lead recovers.
    notePresentedFrame(lead, read + 3000.0, read + 6000.0);
    EXPECT_LE(lead.leadMs(), MaxLeadMs);
    EXPECT_GT(lead.leadMs(), 15.5);
    read += 6000.0;
    for (int frame = 0; frame < 200; ++frame, read += 10.0) notePresentedFrame(lead, read, read + 8.0);
    EXPECT_NEAR(lead.leadMs(), 15.5, 0.01);
}

namespace {

// Presents every `presentPeriodMs`, each seen 5 ms after it read the clock, through the
// player's tick driver at `showRate`; a beat's picture is seen at the first present whose
// frame lies past the beat (as the beat scenes step). Returns the mean of (seen - heard)
// over beats at every ms of 20 s.
double meanBeatLatenessMs(uint32_t showRate, double presentPeriodMs) {
    constexpr double ReadToShownMs = 5.0;
    PresentLead lead;
    lead.frameAgeMs = shownFrameAgeMs(showRate);
    TickDriver driver;
    driver.show = {0, showRate};
    driver.stallMs = NeverStall;
    AudioClockState clock;
    uint32_t shownMs = 0;  // clock value of the frame on screen
    double total = 0;
    int beats = 0;
    for (double readMs = 0.37; readMs < 21000.0; readMs += presentPeriodMs) {
        const uint32_t now = advanceAudioClock(clock, readMs, std::nullopt, 0, lead.leadMs());
        const DueFrames due = takeDueFrames(driver, now);
        notePresentedFrame(lead, readMs, readMs + ReadToShownMs);
        if (due.count == 0) continue;
        const uint32_t frameMs = dueFrameClock(driver, due.first + due.count - 1, now);
        // Beats from the second second on: the lead has settled. Without music the clock is
        // wall time, so the beat at value b is heard at wall time b.
        for (uint32_t beat = std::max(shownMs, 1000u); beat < frameMs && beat < 20000; ++beat) {
            total += readMs + ReadToShownMs - beat;
            ++beats;
        }
        shownMs = frameMs;
    }
    return total / beats;
}

}  // namespace

TEST(AudioClock, BeatsAreSeenAsFarAheadAsBeatPhaseSaysAtAnyShowRateAndDisplay) {
    // A present's clock falls anywhere in its period: seen on average half a period late,
    // less BeatPhase of it. The show rate's frames add their own half frame of age, which
    // the lead takes back. Refresh rates that drift through every phase of the show's
    // frames over the run (whole-ms clock values add about half a ms).
    for (const double hz : {59.94, 119.88, 143.9, 239.76}) {
        const double periodMs = 1000.0 / hz;
        const double leaned = (0.5 - BeatPhase) * periodMs + 0.5;
        EXPECT_NEAR(meanBeatLatenessMs(DefaultShowRate, periodMs), leaned, 1.0) << hz;
        EXPECT_NEAR(meanBeatLatenessMs(UncappedShowRate, periodMs), leaned, 1.0) << hz;
    }
}
