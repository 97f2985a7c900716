#pragma once
#include <cstdint>

// The fixed-function state a run's first show frame starts from. GL state is never reset
// between scenes, so a frame's pixels depend on the state every earlier frame handed on;
// to run the show again from its start in the same context (a seek), every piece of state
// that the show's frames change is put back to what a new context holds once the show is
// prepared: the GL defaults, but for blending (on, from the particle preparation), the
// viewport (the surface, as the context first saw it) and the bound texture (the last one
// preparation bound). Texture objects keep their images and parameters: no frame leaves
// them changed (the particle sprite's filter is put back within its frame).

// Notes the start state once the show is prepared (viewport read from the context, the
// texture bound last by preparation). Needs the run's current GL context.
void noteStartGlState(uint32_t boundTexture);

// Puts the state noted back: enables, blend function, fog, clear colour, current colour and
// texture coordinate, both matrices with the modelview current, viewport, bound texture.
void restoreStartGlState();

// The surface has a new size (a window resized or switched to or from full screen): the
// viewport becomes the whole of it, width x height pixels, now and at every later restore.
void fitStartViewport(int width, int height);

// Start-up value: nothing noted (a zero viewport, no texture).
void resetStartGlState();
