#pragma once
#include <cstdint>

#include "scenes/particles.h"

// Start-up preparation of the particle scene: sprite texture, blending, 575 particles from the first
// 4600 draws of the shared generator. Needs a current GL context.
void initParticles();
// Start-up values: no particles, no sprite, the scene not yet begun.
void resetParticleScene();
// The scene as the preparation left it, the sprite kept: 575 particles made anew from the
// shared generator's next 4600 draws (from its seed: the first ones), the scene not begun.
void rewindParticleScene();
// One frame of the particle scene. `now`: clock value in ms.
void drawParticleScene(uint32_t now);

// Process-wide state of the scene (read by tests and tools).
const ParticleCloud& particleCloud();
// GL texture name of the particle sprite; 0 before initParticles.
uint32_t particleSpriteName();
