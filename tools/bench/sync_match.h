#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "sync_screen.h"

// Beats of the show measured end to end: when the soundtrack's moment of the beat was heard,
// and when the screen showed the beat.
namespace bench {

struct BeatMeasure {
    uint32_t beatMs = 0;              // the beat's clock value, ms
    bool flash = false;               // an opening-scene flash; otherwise a picture change
    double heardUs = 0;               // when the beat's moment of the soundtrack was played, µs
    std::optional<ScreenEvent> seen;  // the screen change of the beat, when one was found
    // Music ahead of the picture (positive: the sound is early), ms. Needs `seen`.
    double offsetMs() const { return (seen->timeUs - heardUs) / 1000.0; }
};

// The offset (seen minus heard, µs) that most pairs of a beat and a screen event of its kind
// within `reachUs` of each other agree on, to 4 ms; 0 when there are no pairs. A constant lag
// of the picture, however large, shows here, so that each beat is then matched near it.
double commonOffsetUs(const std::vector<BeatMeasure>& beats, const std::vector<ScreenEvent>& flashes,
                      const std::vector<ScreenEvent>& changes, double reachUs);

// Gives each beat the event of its kind nearest to heardUs + commonUs, if one lies within
// `windowUs` of it.
void matchEvents(std::vector<BeatMeasure>& beats, const std::vector<ScreenEvent>& flashes,
                 const std::vector<ScreenEvent>& changes, double commonUs, double windowUs);

}  // namespace bench
