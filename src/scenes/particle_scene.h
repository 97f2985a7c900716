#pragma once
#include <cstdint>

// Start-up preparation of scene 3: sprite texture, blending, 575 particles from the first
// 4600 draws of the shared generator. Needs a current GL context.
void initParticles();
// One frame of scene 3. `now`: clock value in ms.
void drawParticleScene(uint32_t now);
