#include "scenes/particle_scene.h"

void initParticles() {}
void drawParticleScene(uint32_t) {}
