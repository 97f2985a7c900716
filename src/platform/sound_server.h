#pragma once
#include <cstdint>

// Asking the sound server how long it takes to play what this process sends it: the
// latency of our own playback stream (what the server holds of ours, plus its sink's and
// the device's latency, a port's latency offset included), found among the server's
// streams by this process's id. Desktop only, internal to the platform's sound output.
namespace sound {

// Called on the watch's thread with each answer: asked and answered at (µs since process
// start), and the stream's latency (µs). Returns whether the answer could be used.
using ServerLatencyAnswer = bool (*)(uint64_t askedUs, uint64_t answeredUs, double latencyUs);

// The first answers, asked for every few ms: the output's latency counts as known once this
// many have been used (one answer can be caught in the middle of a server's block and be off
// by the block).
inline constexpr int FirstServerAnswers = 5;

// Starts asking, for the rest of the process, on a thread of its own that nothing waits
// for: every few ms until the first answers are used (the music's start waits for them),
// then a few times a second; a server that is slow to answer, stops answering or goes away
// is asked again on a fresh connection, never blocking the caller or the output. Never
// starts a server. False when no thread could be started.
bool watchServerLatency(ServerLatencyAnswer answer);

}  // namespace sound
