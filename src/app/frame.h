#pragma once
#include <cstdint>

#include "app/timeline.h"

// The last start-up step (app/startup.h), after the music and the surface: texture sets,
// particle preparation, and the loop's picture bookkeeping set to 0. Needs a current GL
// context.
void prepareShow();

// One frame of the show, the same for every driver (window, capture, benchmark): clear the
// colour and depth buffers, advance the timeline for `now` (ms since process start), and
// run the current scene's routine. Draws nothing once the timeline is over.
void drawFrame(uint32_t now);

// The window player's whole frame: drawFrame at the run's clock, then at most one message,
// then the present. (The web page paces its own frames and calls drawFrame directly.)
// Returns false once the run is to end.
bool playFrame();

// Start-up value of the loop's picture bookkeeping.
void resetFrame();

// The loop's picture bookkeeping (demo-bench reads which picture a frame showed).
const PictureState& pictureState();
