#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// What a screen recording shows: changes found in a grabbed strip of the screen, with the
// time each was first seen and how precisely the grab's time stamps place it.
namespace bench {

// One grabbed frame of the strip (grey pixels).
struct GrabFrame {
    int64_t timeUs = 0;  // when the grab was asked for, µs on the recorder's clock
    double level = 0;    // mean grey level, 0..255
    double change = 0;   // mean |difference| to the previous frame's pixels, 0..255; 0 for the first
};

// Level and change of every frame; `pixels` holds `timesUs.size()` frames of `frameBytes`.
std::vector<GrabFrame> grabFrames(const std::vector<int64_t>& timesUs,
                                  const std::vector<uint8_t>& pixels, size_t frameBytes);

// A change first seen in frame k. Each grab is asked for at its time stamp and answered before
// the next one is asked for, so the change happened between stamps k-1 and k+1: `timeUs` is
// stamp k, `boundUs` the larger of the two gaps around it (the grab's uncertainty either way).
struct ScreenEvent {
    double timeUs = 0;   // µs on the recorder's clock
    double boundUs = 0;  // µs
};

// Frames at least `minRise` grey levels brighter than the frame before (the opening scene's
// flashes).
std::vector<ScreenEvent> brightenings(const std::vector<GrabFrame>& frames, double minRise);
// Frames that differ from the one before by at least `minChange` on average (a new picture);
// of changes closer together than `mergeUs`, only the first counts.
std::vector<ScreenEvent> contentChanges(const std::vector<GrabFrame>& frames, double minChange,
                                        double mergeUs);
// Time stamp of the first frame that differs from the very first one (the show's window
// appearing on the empty screen); -1 when none does.
double firstActivityUs(const std::vector<GrabFrame>& frames);

}  // namespace bench
