#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace sound {

// One stream: its decode thread fills `ring`, the output device empties it.
// Allocated once and never freed: the detached decode thread and the device callback may
// still use it while the process exits.
struct Stream {
    std::string fileName;
    uint64_t startFrame = 0;            // frames skipped at the start, at the mix rate
    int mixRate = 44100;                // Hz
    std::vector<int16_t> ring;          // interleaved stereo, capacityFrames frames
    size_t capacityFrames = 0;          // decode-ahead depth in frames
    std::atomic<int> state{-2};         // -2 opening, 0 ready, else the error code
    std::atomic<uint64_t> written{0};   // frames ever written into the ring (decode thread)
    std::atomic<uint64_t> read{0};      // frames ever read from the ring (reader)
    std::atomic<bool> decodeEnded{false};
    Stream* next = nullptr;             // the list of every stream ever opened
};

// Records the code that lastError() reports.
void noteError(int code);

// Decode-ahead depth in ms for streams opened from now on.
void setStreamBufferMs(int ms);
// Mix rate for streams opened from now on, Hz.
void setStreamMixRate(int hz);

}  // namespace sound
