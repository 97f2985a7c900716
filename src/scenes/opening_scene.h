#pragma once
#include <cstdint>

// Scene 0: the fogged turning cube, beat flashes and captions. `now`: clock value in ms.
void drawOpeningScene(uint32_t now);
