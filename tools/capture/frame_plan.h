#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/show_rate.h"
#include "app/timeline.h"
#include "capture_options.h"

// Which frames a recording draws and keeps. The show runs its show frames at the show rate
// (app/show_rate.h) through the tick driver, as the player does; the outputs only choose
// which of them are seen:
// - output frame j of the video or the PNG sequence has the clock value
//   start + floor(j * 1000 / fps) and shows the newest show frame at or before it (the
//   previous picture again when none is new, an output faster than the show rate);
// - --at and the contact sheet keep the first show frame at or past each of their values.
// With --show-rate 0 every output frame is a show frame of its own, at its own clock value.

// Clock value of the last scene's end: no frame past it is recorded.
inline constexpr uint32_t ShowEndMs = ShowLengthMs;

// The show frames of a run with these options (the tick driver's schedule): the whole run's,
// from clock value 0 whatever --start says, so that a recording from --start shows the
// frames of the same part of a whole recording.
FrameSchedule showSchedule(const CaptureOptions& options);
// The video and PNG sequence's frames.
FrameSchedule outputSchedule(const CaptureOptions& options);
// The frames --at and the sheet choose from: the show frames, or with --show-rate 0 the
// output frames.
FrameSchedule keptSchedule(const CaptureOptions& options);

// Clock value of the last frame of `schedule` that is still within the show.
uint32_t lastFrameInShow(const FrameSchedule& schedule);

// One clock value at which the recorder advances the show to the newest due show frame and
// takes its picture.
struct CapturePoint {
    uint32_t clockMs = 0;
    bool outputFrame = false;  // a frame of the video or of the PNG sequence
    bool atFrame = false;      // a PNG kept by --at
    bool sheetFrame = false;   // a contact-sheet moment
};

// Every point of a run, ascending and one per clock value: all output frames when there is
// a video, --draw-only or a PNG sequence (those before --end), plus the frames --at and the sheet keep. A run without a video
// or a sequence ends at its last kept frame.
std::vector<CapturePoint> capturePlan(const CaptureOptions& options);

// Number of output frames (video or PNG sequence) in a plan.
uint64_t outputFrameCount(const std::vector<CapturePoint>& plan);

// "frame-NNNNN.png": the frame's clock value, at least five digits, zero-padded.
std::string frameFileName(uint32_t clockMs);
