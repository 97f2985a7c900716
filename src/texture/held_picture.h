#pragma once

// The picture of a paused show, kept so that it can be presented again (a status line over
// it changes while the show stands) without running a show frame, which would move the
// frame-counted motions on. The frame is copied from the back buffer into a texture of its
// own (a name of the own-name range: never a texture id, which the show numbers by load
// order) and drawn back texel for pixel. Both set every GL state they touch and put it back.

// Copies the back buffer's `width` x `height` pixels (the whole surface) after a frame has
// been drawn and before it is presented.
void holdPicture(int width, int height);

// Draws the held picture over the whole surface; false, drawing nothing, when none is held.
bool drawHeldPicture();

// Forgets the held picture (its texture stays for the next one).
void releaseHeldPicture();

// Start-up value: no texture, nothing held (a new context).
void resetHeldPicture();
