#pragma once

// Returns every piece of the show's process-wide state to its start-up value, as in a
// process that has just started (docs/architecture.md lists it by owner): the timeline,
// the quit flag and the clocks, the key parity, the music settings, the picture
// bookkeeping, each scene's state, the shared random generator, the desktop rectangle,
// the image prefetch, and the texture and font registries, whose records are destroyed.
// Left alone: GL objects, which belong to the driver's context (a new run makes a new
// surface), and the sound output with a soundtrack already playing (see resetMusic).
void resetShowState();
