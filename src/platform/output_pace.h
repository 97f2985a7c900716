#pragma once
#include <cstdint>

// Keeping the music on time at the output: once playing, the music should be taken from its
// stream at the mix rate. When the output falls behind that (the decoder could not deliver,
// the output thread was not run, the process was stopped, a sound server took seconds to
// take data after the output was reopened), the music it missed is dropped, so that what is
// heard stays where it should be instead of lagging for the rest of the show.
namespace sound {

struct OutputPace {
    bool started = false;
    double originUs = 0;  // µs since process start at which stream frame 0 would have been
                          // taken at the best pace seen so far
};

// At a hand-over at `nowUs` (µs since process start) after `consumedFrames` stream frames were
// taken (played or dropped): how many frames to drop now, 0 while the output is at most
// `toleranceFrames` behind its best pace. `playing`: the output plays what it is handed (a
// server's stream has begun to play, its latency known). Until then nothing handed has been
// missed, however long it waits (a sink waking up can take seconds to start), so nothing is
// dropped and the pace does not start: the first hand-over while playing starts it, the
// frames handed before counting as buffered ahead. A hand-over ahead of the pace (a device
// clock a little fast) moves it earlier.
uint64_t framesToDrop(OutputPace& pace, uint64_t nowUs, uint64_t consumedFrames, int rate,
                      uint64_t toleranceFrames, bool playing);

}  // namespace sound
