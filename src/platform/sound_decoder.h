#pragma once
#include <mpg123.h>

#include <cstddef>
#include <cstdint>

// The decoder set-up shared by the streams and the whole-file decode: libmpg123 with
// gapless decoding, forced to interleaved signed 16-bit stereo at the mix rate (it converts
// mono and resamples other rates itself).
namespace sound {

struct Decoder {
    mpg123_handle* handle = nullptr;
    int fd = -1;
};

// Opens `fileName` and reads just far enough to know the audio format (the first frame).
// Returns NoError or the error code; on failure nothing stays open.
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
