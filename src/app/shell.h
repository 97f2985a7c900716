#pragma once
#include <cstdint>

// Process-wide state of the running show and its tiny accessors.

// Current scene index (a Scene); SceneCount once the timeline has run out. Only grows.
int32_t currentSceneIndex();
// Sets the quit flag; never cleared.
void requestQuit();
bool isQuitRequested();
// Adds one to the scene index (the skip key).
void skipToNextScene();

// Clock value of the run: ms since process start, unsigned 32-bit. `demo` reads the wall
// clock; the capture and benchmark tools install a simulated clock instead.
uint32_t clockMs();
using ClockSource = uint32_t (*)();
void setClockSource(ClockSource source);

// The simulated clock of the capture and benchmark tools and the tests: it reads the value
// the driver last set (ms), frame by frame. Install with setClockSource(&simulatedClockMs).
void setSimulatedClock(uint32_t nowMs);
uint32_t simulatedClockMs();

// Start-up values: the opening scene, no quit request, the monotonic clock, simulated clock 0.
void resetShell();
// The timeline back at its start (the opening scene, no quit request); the clock is kept.
void rewindTimeline();
// The timeline run out at once, as after the last scene's end (a seek past it).
void endTimeline();
// Whether the simulated clock is the one installed (the tests' and tools' runs).
bool simulatedClockInstalled();

// Advances the scene index by the timeline for the frame's clock value and sets the quit
// flag when the index reaches SceneCount. Returns the index after the update.
int32_t advanceSceneIndex(uint32_t now);
