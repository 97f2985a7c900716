#include "scenes/warp_scenes.h"

void drawWarpSweep() {}
void drawWarpStill() {}
