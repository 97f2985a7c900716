#pragma once
#include <cstdint>
#include <optional>

// The show's clock kept in step with the music heard: ms since process start, moved by a
// correction that follows (heard position - wall time). The first heard position sets the
// correction at once, however late it comes (a sound server or sink waking up can take
// seconds): from then on the picture shows what is heard, and the clock, which never
// decreases, holds until the music reaches the value already shown. Later the correction
// moves toward the heard position by at most MaxSlew ms per ms of wall time, so device clock
// drift is absorbed smoothly; a gap of more than StepGapMs that lasts StepAfterMs (the
// output's latency changed: the sound moved to a Bluetooth headset, or back) is taken at
// once, so that the picture holds until the later music reaches it, or steps ahead to the
// earlier one, instead of crawling there for seconds. A later heard position further than
// FollowLimitMs from where the clock stands is not followed: the music has lost its place
// (the process was stopped, the output starved), and the show keeps to wall time as if
// there were no music.
struct AudioClockState {
    double correctionMs = 0;   // added to wall time, ms
    bool anchored = false;     // a heard position has been seen
    double lastWallMs = 0;     // wall time of the last update, ms
    uint32_t lastValue = 0;    // last clock value returned, ms
    double gapSinceMs = -1;    // wall time since which the gap exceeds StepGapMs, ms; -1: it does not
};

inline constexpr double MaxSlew = 0.05;  // ms of correction per ms of wall time (5 %)
inline constexpr double StepGapMs = 30.0;     // a gap this large (ms) that lasts ...
inline constexpr double StepAfterMs = 300.0;  // ... this long (ms) is taken at once
inline constexpr double FollowLimitMs = 500.0;  // largest gap the clock follows, ms: a
                                                // latency change of a Bluetooth headset's size

// `wallMs`: wall time since process start (ms, fractional). `heardMs`: the music position
// heard at that time, as ms of wall time since process start at which it should be heard
// (frames heard / rate); empty when unknown (no music, or it stopped). `offsetMs`: the
// clock value of process start (--start). `leadMs`: how far ahead of `wallMs` the value is
// wanted (the frame being drawn is seen that much later). Returns the clock value.
uint32_t advanceAudioClock(AudioClockState& state, double wallMs, std::optional<double> heardMs,
                           uint32_t offsetMs, double leadMs = 0);

// How far ahead a frame is drawn. A frame that reads the clock at wall time t is seen only
// once it has been drawn and presented, and a beat falls anywhere within a frame period; so
// the frame shows the clock value of t + lead, where lead is the time from reading the clock
// to the end of presenting plus BeatPhase of the frame period, each averaged over recent
// frames. A BeatPhase of one half would centre the picture on the music; more than a half
// leans it toward coming first, since music heard early is the worse fault, and a frame
// that shows a beat (a full-screen flash) often takes longer to draw than its neighbours.
//
// Under a show rate a present shows the newest show frame due, whose clock value lies
// anywhere within one show frame before the value read: over the phases at which presents
// fall, the frame seen is half a show frame older than the read. The lead adds that age, or
// the show rate's own grid would take back what BeatPhase leans ahead.
struct PresentLead {
    double readToShownMs = 0;  // smoothed time from the clock read to the end of presenting, ms
    double periodMs = 0;       // smoothed time between clock reads, ms
    double lastReadMs = -1;    // wall time of the previous frame's clock read, ms; -1: none
    double frameAgeMs = 0;     // the shown frame's mean age against the read, ms (0..500)
    double leadMs() const;     // 0..MaxLeadMs
};
inline constexpr double MaxLeadMs = 100.0;        // a lead never exceeds this, ms
inline constexpr double BeatPhase = 0.75;         // share of the frame period added, 0..1
inline constexpr double LeadSmoothing = 0.1;      // weight of the newest frame (0..1)
// A frame read the clock at `readMs` and finished presenting at `shownMs` (wall time, ms);
// single frames slower than MaxLeadMs count as MaxLeadMs.
void notePresentedFrame(PresentLead& lead, double readMs, double shownMs);

// Mean age of the frame a present shows against the clock value it read, ms: half a show
// frame at `showRate` show frames a second; 0 for UncappedShowRate (each present draws the
// frame of its own read).
double shownFrameAgeMs(uint32_t showRate);

// The show clock runs in segments: start-up begins the first at --start; a seek or a resume
// begins another at the clock value it moves to, and the clock then runs on from there as at
// start-up, following the music heard from that position (the sound layer counts it from the
// position moved to). A pause holds it.
struct ClockSegment {
    double wallStartMs = 0;    // wall time at which the segment began, ms since process start
    uint32_t startValue = 0;   // clock value at its start, ms
    // Holds at startValue until the segment's music is first heard, at most MusicWaitMs: after
    // a seek the music starts the output's latency later, and the picture would run ahead.
    bool waitsForMusic = false;
    bool held = false;         // paused: the clock reads startValue until the next segment
};
inline constexpr double MusicWaitMs = 1500.0;  // longest hold for a segment's music, ms

// The clock value of a segment at wall time `wallMs` (ms since process start), with the
// segment's music heard at `heardMs` (as ms since the segment began at which it should be
// heard; empty when unknown) and the lead of advanceAudioClock.
uint32_t advanceSegmentClock(ClockSegment& segment, AudioClockState& state, double wallMs,
                             std::optional<double> heardMs, double leadMs);

// The show's clock for `demo`: wall time plus `offsetMs` (--start), following the heard
// music while it plays, read for the moment the frame will be seen by a player that draws
// `showRate` show frames a second. Install with setClockSource(&showClockMs); call
// showFramePresented() after each buffer swap.
void setShowClock(uint32_t offsetMs, uint32_t showRate);
uint32_t showClockMs();
// A new segment of the show clock from now at `valueMs` (a seek, a resume), waiting for its
// music when `waitForMusic`; or a held one (a pause, a seek while paused).
void restartShowClock(uint32_t valueMs, bool waitForMusic);
void holdShowClock(uint32_t valueMs);
void showFramePresented();
// Start-up values: not anchored, no lead, offset 0, no frame age.
void resetShowClock();
