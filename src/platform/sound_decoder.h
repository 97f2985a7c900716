#pragma once
#include <mpg123.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The decoder set-up shared by the streams and the whole-file decode: libmpg123 with
// gapless decoding, forced to interleaved signed 16-bit stereo at the mix rate (it converts
// mono and resamples other rates itself).
namespace sound {

// The whole file, read into memory at the open: once playing, the music never waits for
// the disk (a stalled or flooded disk cannot starve the decoder).
struct MemoryFile {
    std::vector<unsigned char> bytes;
    int64_t position = 0;  // bytes from the start
};

struct Decoder {
    mpg123_handle* handle = nullptr;
    std::unique_ptr<MemoryFile> file;  // what the handle reads; stays put while it is open
};

// Largest soundtrack taken, bytes (over three hours at 192 kbit/s); a larger file is
// refused as out of memory.
constexpr int64_t MaxFileBytes = int64_t(256) << 20;

// Reads `fileName` into memory (a file that is not a regular file is refused at once
// instead of blocking: a FIFO, a device, a directory), then decodes just far enough to know
// the audio format (the first frame). Returns NoError or the error code; on failure
// nothing stays open.
int openDecoder(const char* fileName, int mixRate, Decoder& decoder);
void closeDecoder(Decoder& decoder);

// Moves to `frame` (at the mix rate) of the decoded audio. Returns NoError or the code.
int seekDecoder(Decoder& decoder, uint64_t frame);

struct DecodeResult {
    size_t frames = 0;   // frames written to the output
    bool ended = false;  // no more audio follows
    int error = 0;       // NoError, or why decoding stopped (then ended is true)
};
// Decodes up to `frames` frames into `out` (2 * frames values).
DecodeResult decodeFrames(Decoder& decoder, int16_t* out, size_t frames);

}  // namespace sound
