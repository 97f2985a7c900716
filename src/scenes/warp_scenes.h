#pragma once

// Scene 2: the Julia-set square whose constant sweeps every frame.
void drawWarpSweep();
// Scene 5: the same square with a fixed constant.
void drawWarpStill();
