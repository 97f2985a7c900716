#pragma once

// Returns every piece of the show's process-wide state to its start-up value, as in a
// process that has just started (docs/architecture.md lists it by owner): the timeline,
// the quit flag and the clocks, the key parity, the music settings, the picture
// bookkeeping, each scene's state, the shared random generator, the desktop rectangle,
// the image prefetch, and the texture and font registries, whose records are destroyed.
// Left alone: GL objects, which belong to the driver's context (a new run makes a new
// surface), and the sound output with a soundtrack already playing (see resetMusic).
void resetShowState();

// Returns the state that the show's frames change to its value at the start of a run, so
// that the frames can run again from show frame 0 in the same process and context: the
// scene index and quit flag, the picture bookkeeping, each scene's state (the particles made
// anew from the shared generator, back at its seed), the perspective matrix, the current
// font, and the GL state the frames change (render/start_gl_state.h). Kept: what start-up
// loaded (textures, the particle sprite, the font registry once built: its first use only
// loads what later uses find loaded), the clock, the music, the key parity, the window and
// the player's tick driver, which the caller sets.
void rewindShowState();
