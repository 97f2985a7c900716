#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/timeline.h"

// Which frames a simulated run draws and which of them it keeps. Frame k of a run has the
// clock value start + floor(k * 1000 / fps) (ms since process start).

// Clock value of the last scene's end: a frame past it ends the run and is not kept.
inline constexpr uint32_t ShowEndMs = ShowLengthMs;

// Clock value of frame k (64-bit arithmetic: no overflow for any run length).
uint32_t frameClock(uint32_t startMs, uint32_t fps, uint64_t frame);

// Number of frames whose clock value is at most ShowEndMs, that is the frames a run from
// startMs keeps (0 when startMs is already past the end).
uint64_t framesToEnd(uint32_t startMs, uint32_t fps);

// Index of the first frame whose clock value is at or past `atMs` (0 for values <= start).
uint64_t firstFrameAtOrPast(uint32_t startMs, uint32_t fps, uint32_t atMs);

// The frame indices that `--at` picks, ascending and without repeats (two values may fall
// on the same frame).
std::vector<uint64_t> atFrames(uint32_t startMs, uint32_t fps, const std::vector<uint32_t>& atMs);

// "frame-NNNNN.png": the frame's clock value, at least five digits, zero-padded.
std::string frameFileName(uint32_t clockMs);
