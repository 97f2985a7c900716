#pragma once

// Bounds for the steps of a run that can wait on something outside the program (a sound
// server, the display, a file system, the GL driver). A thread of its own watches the step
// in progress; when the step makes no progress within its bound, it prints
// "Error: <step> did not finish within <seconds> s" on standard output and ends the process
// with exit code 1 at once (exit-time routines would wait on the same stuck thing).
// The bound is counted in the watching thread's own 100 ms ticks, so time during which the
// whole process was stopped (SIGSTOP) does not count.

// Starts watching `step` (a static string, e.g. "opening the display") with a bound of
// `seconds` (1..3600). Replaces the step watched before.
void watchStep(const char* step, int seconds);

// Progress within the current step: its bound starts again. Cheap enough for every frame.
void watchProgress();

// Stops watching.
void watchNothing();
