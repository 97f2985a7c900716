#pragma once
#include <cstdint>

#include "app/timeline.h"

// Start-up after the music and the display: texture sets, particle preparation, and the
// loop's picture bookkeeping set to 0. Needs a current GL context.
void prepareShow();

// One frame of the show, the same for every driver (window, capture, benchmark): clear the
// colour and depth buffers, advance the timeline for `now` (ms since process start), and
// run the current scene's routine. Draws nothing once the timeline is over.
void drawFrame(uint32_t now);

// The loop's picture bookkeeping (read by tests and tools).
const PictureState& pictureState();
