#include "scenes/opening_scene.h"

void drawOpeningScene(uint32_t) {}
