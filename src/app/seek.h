#pragma once
#include <cstdint>

#include "app/show_rate.h"

// "The show at T" has one meaning for every driver: the state a whole run from clock value 0
// has reached at its show rate R, show frame k running at floor(k * 1000 / R); the frame
// seen at T is the first show frame at or past T (what demo-capture --at T records). A run
// that starts later (--start) or moves (a seek) gets there by running the show frames before
// it again from frame 0, without pixels: a show frame nobody sees costs 0.004 to 0.07 ms, so
// the whole show's 10,872 of them take about 0.2 s on a processor without a GPU.

// The show frames of every run: frame 0 at clock value 0, `rate` per second of show clock.
FrameSchedule wholeRunSchedule(uint32_t rate);

// Index of the show frame seen at `atMs`: the first at or past it.
uint64_t showFrameAt(uint32_t rate, uint32_t atMs);

// Brings the show, from any state, to where a whole run stands just before show frame
// `frame` (0: the start of a run): rewindShowState(), then frames 0..frame-1 through
// drawFrame without pixels. The caller runs `frame` itself, seen, and the ones after it.
// With UncappedShowRate, whose frames have no fixed clock values, the show only goes back
// to its start: the next frame, at whatever clock value, starts a fresh run there (the
// original's late first frame). Needs the run's current GL context.
void rewindShowTo(uint64_t frame, uint32_t rate);
