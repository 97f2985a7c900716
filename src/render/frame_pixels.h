#pragma once

// Whether the frame being drawn will be seen. A show frame that no present or recorded frame
// shows still makes every state change a seen one makes (matrices, enables, bindings,
// uploads that later frames rely on, the scenes' own counters), but no pixels: an empty
// scissor box keeps its clears and primitives out of the framebuffer, and the scenes skip the
// work whose only result is pixels (the Julia image and its upload, the particle sprites).
// So the next seen frame is byte-identical to the same frame of a run that draws them all.

// Brackets an unseen frame: enables the scissor test with an empty box, then puts back the
// scissor test's enable and box as they were. The frame's own drawing does not use scissoring.
void beginUnseenFrame();
void endUnseenFrame();

// Waits until the driver has carried out the frames drawn so far (glFinish). A software
// renderer keeps what each frame's primitives allocate until then; thousands of unseen frames
// with no present between them (a seek) would pile up about 90 MiB at 1920x1080, where a
// wait every second of show keeps it to a few and costs no time.
void finishUnseenFrames();

// False between beginUnseenFrame and endUnseenFrame.
bool framePixelsSeen();

// Start-up value: frames are seen.
void resetFramePixels();
