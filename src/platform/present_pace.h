#pragma once
#include <cstdint>

// Presents paced to a display's refresh rate by sleeping, where the driver refuses to wait
// for the vertical blank (Xvfb, some remote displays): one present per refresh period, on a
// steady grid, so that the player neither spins nor draws pictures nobody can see.

// Refresh rate assumed when the display mode does not say, Hz.
inline constexpr int FallbackRefreshHz = 60;

struct PresentPace {
    uint64_t periodUs = 1000000 / FallbackRefreshHz;  // one refresh, µs
    uint64_t nextUs = 0;  // µs since process start at which the next present is due; 0: none yet
};

// The pace for a display mode's refresh rate (Hz; 0 or less: unknown, FallbackRefreshHz).
PresentPace presentPaceFor(int refreshHz);

// How long to wait, µs, before presenting at `nowUs` (µs since process start). The first
// present and a late one (the frame took longer than a period) go at once and start the grid
// again from there, rather than hurrying to catch up.
uint64_t presentWaitUs(PresentPace& pace, uint64_t nowUs);
