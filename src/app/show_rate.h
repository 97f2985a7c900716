#pragma once
#include <cstdint>

// The show rate and the schedules built on it.
//
// Four motions of the show are counted in frames (particle drift and glide, the warp
// constant, the closing cube, one random draw or beat entry per frame), so the show is only
// itself at one frame rate: the show rate R, show frames per second of show clock. Show
// frame k of a run runs at clock value start + floor(k * 1000 / R). A display, a video or a
// benchmark only decides which of those frames are seen.

inline constexpr uint32_t DefaultShowRate = 120;  // show frames per second of show clock
inline constexpr uint32_t MaxShowRate = 1000;     // one show frame per clock ms
// The original's loop: one show frame per present, at the clock value of the present.
inline constexpr uint32_t UncappedShowRate = 0;

// Frames at `rate` per second of show clock from `startMs`: frame k at
// startMs + floor(k * 1000 / rate). Show frames follow it at the show rate, a recording's
// frames at its fps, a simulated display's presents at its refresh rate.
struct FrameSchedule {
    uint32_t startMs = 0;  // clock value of frame 0, ms
    uint32_t rate = DefaultShowRate;  // frames per second of show clock, 1..MaxShowRate
};

// Clock value of frame k (64-bit arithmetic: no overflow for any run length; the result
// wraps as the clock does).
uint32_t frameClock(const FrameSchedule& schedule, uint64_t frame);

// Number of frames whose clock value is at most `lastMs` (0 when lastMs < startMs).
uint64_t framesThrough(const FrameSchedule& schedule, uint32_t lastMs);

// Index of the first frame whose clock value is at or past `atMs` (0 for values <= start).
uint64_t firstFrameAtOrPast(const FrameSchedule& schedule, uint32_t atMs);

// More than this much show clock due at once is a stall (the process was stopped, a driver
// hung): the tick driver then skips ahead to the newest due frame, as one late frame of the
// original loop would, instead of running the backlog at full speed. ms.
inline constexpr uint32_t StallMs = 250;
// For clocks that never stall (simulated ones): every due frame runs.
inline constexpr uint32_t NeverStall = UINT32_MAX;

// Keeping a steady cadence on a real display. Presents at a steady refresh rate read a
// clock that jitters by a millisecond or so (scheduling, the clock's whole milliseconds).
// Where the refresh and the show rate are in step (60 Hz: two show frames a present; 120 Hz:
// one; 240 Hz: a show frame every second present), the presents fall at the same phase of
// the show frames every time; when that phase lies near a frame's start, the jitter alone
// turns "two, two, two" into "one, three, two, one, three": visible judder. So the driver
// follows the phase at which presents fall (a running mean on the circle, for each of the
// first few multiples of it, since a present rate above the show rate repeats its phase
// only every few presents) and, while it is steady, moves each present's choice by less than
// half a show frame so that presents fall mid-way between frame starts. Where the rates are
// not in step (75 or 144 Hz) no phase is steady and the newest due frame is chosen as is.
struct CadenceLock {
    static constexpr int Multiples = 4;      // phases followed: of the position times 1..4
    static constexpr double Weight = 0.1;    // weight of the newest present in the means
    static constexpr double Steady = 0.6;    // length of a mean vector that counts as steady
    static constexpr double StillSteady = 0.4; // the same for the multiple already followed
    static constexpr double MaxShift = 0.75; // show frames; a shift is kept up to this far
    double cosMean[Multiples] = {};
    double sinMean[Multiples] = {};
    int multiple = 0;   // the multiple whose phase the shift follows, 1..Multiples; 0: none
    double shift = 0;   // show frames added to the present's position
};

// The tick driver's state: which show frame runs next.
struct TickDriver {
    FrameSchedule show;       // show frames; rate UncappedShowRate: one per present
    uint32_t stallMs = StallMs;
    bool lockCadence = false; // follow the presents' phase (a real display's jittery clock)
    CadenceLock cadence;
    uint64_t next = 0;        // index of the next show frame to run
};

// The shift, in show frames, that puts presents at `position` (show frames since frame 0 at
// which frames become due, fractional) mid-way between frame starts, once their phase is
// steady; 0 otherwise. Of the shifts that do so (a whole frame apart, or 1/m apart for the
// m-th multiple) it keeps to the one nearest the last, so that a phase that wobbles about a
// frame's start does not flip between half a frame early and half a frame late.
double cadenceShift(CadenceLock& lock, double position);

// Show frames due at one present: indices first..first+count-1, in order; the last is the
// one presented. count 0: nothing is due yet.
struct DueFrames {
    uint64_t first = 0;
    uint64_t count = 0;
};

// The show frames due at clock value `nowMs` (the clock of the present being prepared): every
// frame not yet run whose clock value is at or before nowMs, or only the newest of them after
// a stall. Marks them run. Uncapped: always one frame, at nowMs itself.
DueFrames takeDueFrames(TickDriver& driver, uint32_t nowMs);

// Clock value of due frame `frame` at a present at `nowMs`.
uint32_t dueFrameClock(const TickDriver& driver, uint64_t frame, uint32_t nowMs);

// Clock value of the next show frame (the present's own clock when uncapped).
uint32_t nextFrameClock(const TickDriver& driver, uint32_t nowMs);
