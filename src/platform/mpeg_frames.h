#pragma once
#include <cstddef>
#include <cstdint>

// Telling MPEG audio (MPEG 1, 2 and 2.5, layers I to III) by its frame headers before the
// decoder sees the file. The decoder takes any stray header for the start of a stream; in a
// quiet WAV file stray free-format headers abound, and it would play them as silence.
namespace sound {

// Bytes of the ID3v2 tag that starts at `bytes` (header, body and footer); 0 when none does.
size_t id3v2TagBytes(const uint8_t* bytes, size_t size);

// Bytes of the frame whose 4-byte header starts at `header`; 0 when it is no header this
// check accepts (reserved values, or the free-format bitrate, whose length is unknown).
size_t mpegFrameBytes(const uint8_t* header);

constexpr size_t MpegScanBytes = 65536;      // where the first frame may start, after tags
constexpr size_t MpegFramesInChain = 4;      // headers that must follow one another
constexpr size_t MpegLongestFrameBytes = 2881;
// Bytes after the tags that findMpegFrames looks at, at most.
constexpr size_t MpegProbeBytes = MpegScanBytes + MpegFramesInChain * MpegLongestFrameBytes;

// True when, within the first MpegScanBytes of `bytes` (the audio after any ID3v2 tags),
// a frame header starts a chain of MpegFramesInChain headers of one stream, each where the
// previous frame ends. When `bytes` run to the end of the file (`toEnd`), a chain of at
// least two frames counts too if less than a longest frame follows it (a very short or
// damaged file: a frame cut short, a trailing tag).
bool findMpegFrames(const uint8_t* bytes, size_t size, bool toEnd);

// Sample rate in Hz of the header at `header`; 0 when mpegFrameBytes takes it for no header.
long mpegSampleRate(const uint8_t* header);

// Sample rate in Hz of the MPEG audio that the file `bytes` (whole) holds after its ID3v2
// tags, as findMpegFrames finds it there; 0 when it holds none.
long mpegFileSampleRate(const uint8_t* bytes, size_t size);

}  // namespace sound
