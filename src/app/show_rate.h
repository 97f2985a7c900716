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

// The tick driver's state: which show frame runs next.
struct TickDriver {
    FrameSchedule show;       // show frames; rate UncappedShowRate: one per present
    uint32_t stallMs = StallMs;
    uint64_t next = 0;        // index of the next show frame to run
};

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
