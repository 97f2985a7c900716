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
    std::atomic<bool> decodeEnded{false};  // the audio from the newest position is all decoded
    // Seeks (seekStream): the frame the newest one asked for (at the mix rate), how many were
    // asked for, and the newest the decode thread has carried out, whose audio begins at
    // ring frame counter `seekDoneAt` (stored before `seeksDone`).
    std::atomic<uint64_t> seekFrame{0};
    std::atomic<uint32_t> seeksAsked{0};
    std::atomic<uint32_t> seeksDone{0};
    std::atomic<uint64_t> seekDoneAt{0};
    uint32_t seeksSkipped = 0;          // reader only: the newest carried-out seek whose older
                                        // audio the reader has skipped
    std::atomic<uint32_t> wakeups{0};   // bumped by a read and a seek; the decode thread sleeps on it
    Stream* next = nullptr;             // the list of every stream ever opened
};

// Frames a ready stream can give from its newest carried-out position (none while a seek is
// still being carried out: the ring then holds audio from before it).
size_t framesReady(Stream* stream);
// Asks the decode thread to move to `frame` of the decoded audio (at the mix rate); the
// reader then skips what was decoded from before it.
void requestStreamSeek(Stream* stream, uint64_t frame);
// Whether a stream can give `frames` frames from its newest position, or all it has left
// there (a stream that failed or is null has nothing to wait for).
bool positionReady(Stream* stream, size_t frames);

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
