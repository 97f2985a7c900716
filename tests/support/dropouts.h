#pragma once
#include <cstddef>
#include <cstdint>

// What a captured output (interleaved 16-bit stereo) holds against the song it should be:
// silence before the song, then the song in order, where the only allowed difference is
// silence the output inserted while the decoder was behind (a dropout: the song then goes
// on where it stopped).
struct DropoutReport {
    size_t leadFrames = 0;            // silence before the song's first frame
    size_t matchedFrames = 0;         // song frames found in order
    size_t dropouts = 0;              // runs of inserted silence
    size_t dropoutFrames = 0;         // their total length
    size_t longestDropoutFrames = 0;
    size_t firstDropoutAtFrame = 0;   // song frame at which the first dropout began
    bool corrupt = false;             // a difference that is not inserted silence
    size_t corruptAtFrame = 0;        // captured frame of the first such difference
};

DropoutReport findDropouts(const int16_t* captured, size_t capturedFrames, const int16_t* song,
                           size_t songFrames);
