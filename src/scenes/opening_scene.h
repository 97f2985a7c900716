#pragma once
#include <cstdint>

#include "scenes/flash_beats.h"

// The opening scene: the fogged turning cube, beat flashes and captions. `now`: clock
// value in ms.
void drawOpeningScene(uint32_t now);
// The cube around the eye (-3..3 on every axis), texture repeated two by two on each face,
// in the current colour.
void drawOpeningCube();
// Advances the process-wide flash state and draws the white flash when one is due.
void drawBeatFlash(uint32_t now);

// Turn of the cube in degrees at clock value `now`: (now + 10000) x 0.002, in float.
float openingCubeAngle(uint32_t now);

// The process-wide flash state (read by tests).
const FlashState& openingFlashState();

// Start-up value of the flash state.
void resetOpeningScene();
