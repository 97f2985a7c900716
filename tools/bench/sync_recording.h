#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "sync_measure.h"

// Reading a recording made for the sync measurement: files the recorder's time stamps and
// samples were written to (tests/sync/measure-sync.sh makes them with ffmpeg and ffprobe):
//   video.times    one line per grabbed frame: its time stamp in seconds ("1712.003417")
//   video.gray     the frames, 8-bit grey, all of one size, one after another
//   audio.packets  one line per sound packet: "time stamp in seconds,size in bytes"
//   audio.s16      the sound, interleaved signed 16-bit little-endian stereo
namespace bench {

// A time stamp in decimal seconds to whole µs, exactly (no floating point on the way:
// stamps are wall-clock values near 2^31 s). Empty when the text is not such a number.
std::optional<int64_t> secondsToUs(const std::string& text);

// Fills the frames, packets and sound of `recording` from `directory`; an error text (one
// line) when a file is missing or malformed.
std::string readRecording(const std::string& directory, Recording& recording);

}  // namespace bench
