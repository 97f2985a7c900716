#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "capture_options.h"

// The clock range a recorded video holds, written into its comment so that parts recorded
// apart (other processes, other machines) can be checked and joined: output frame j of the
// range has the clock value startMs + floor(j * 1000 / fps), as in every recording.
struct RecordedRange {
    uint32_t startMs = 0;  // clock value of the first frame, ms
    uint64_t frames = 0;   // output frames in the range
    uint32_t fps = 60;     // output frames per second of show clock
};

// "demo-capture clock START ms, FRAMES frames at FPS fps"
std::string rangeTag(const RecordedRange& range);
// False when `tag` is no such text.
bool readRangeTag(const std::string& tag, RecordedRange& range);

// The clock value just past a range's last frame when that is a whole number of ms (where
// the next range must start for the two to be one recording's frames); false otherwise.
bool rangeEnd(const RecordedRange& range, uint32_t& endMs);

// One part of a split recording: the --start and --end of its run.
struct PartRange {
    uint32_t startMs = 0;
    uint32_t endMs = 0;
};

// The parts that `jobs` processes record of a --video run's output frames: at most `jobs`,
// of nearly equal length, each a run of whole closed GOPs (half a second of frames) that
// starts on a whole ms of the run's frame grid, so that its frames are the same frames of
// the single run and its key frames are the single run's too. The last part ends at the
// run's --end. Fewer parts when the recording is too short for `jobs` of them.
std::vector<PartRange> splitRanges(const CaptureOptions& options, uint32_t jobs);

// Checks that `parts` (in order) are one recording cut into pieces: each one's range
// starts where the one before it ended, at the same fps. Sets the whole range; false with
// a one-line reason naming the part otherwise.
bool joinedRange(const std::vector<RecordedRange>& parts, const std::vector<std::string>& names,
                 RecordedRange& whole, std::string& error);
