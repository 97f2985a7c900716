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
// `toleranceFrames` behind its best pace. The first call starts the pace; a hand-over ahead of
// it (a device clock a little fast) moves it earlier.
uint64_t framesToDrop(OutputPace& pace, uint64_t nowUs, uint64_t consumedFrames, int rate,
                      uint64_t toleranceFrames);

}  // namespace sound
