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
    size_t readyFrames = 0;             // decoded before the open reports ready, frames
    std::atomic<int> state{-2};         // -2 opening, 0 ready, else the error code
    std::atomic<uint64_t> written{0};   // frames ever written into the ring (decode thread)
    std::atomic<uint64_t> read{0};      // frames ever read from the ring (reader)
    std::atomic<bool> decodeEnded{false};
    Stream* next = nullptr;             // the list of every stream ever opened
};

// Records the code that lastError() reports.
void noteError(int code);

// Audio decoded before an open reports ready, in ms, for streams opened from now on. The
// ring then keeps filling to its full depth (StreamAheadMs).
void setStreamBufferMs(int ms);
// Decoded audio a stream keeps ahead of its reader once playing, ms: seconds cost little
// memory (176 kB each) and let the music ride out a decode thread starved by a busy machine.
constexpr int StreamAheadMs = 5000;
// Mix rate for streams opened from now on, Hz.
void setStreamMixRate(int hz);

}  // namespace sound
