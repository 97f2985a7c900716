#include "scenes/particle_shortcuts.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "scenes/particle_sprite.h"

namespace {

bool clampsToZeroOrOne(float channel) { return channel <= 0.0f || channel >= 1.0f; }

bool isPowerOfTwo(float value) {
    int exponent = 0;
    return value > 0.0f && std::isfinite(value) && std::frexp(value, &exponent) == 0.5f;
}

}  // namespace

bool fogFoldsIntoParticleColour(const FogState& fog, std::span<const Particle> particles) {
    if (!fog.enabled || fog.mode != GL_LINEAR || fog.start != 0.0f || !isPowerOfTwo(fog.end))
        return false;
    if (fog.colour[0] != 0.0f || fog.colour[1] != 0.0f || fog.colour[2] != 0.0f) return false;
    return std::all_of(particles.begin(), particles.end(), [](const Particle& p) {
        return clampsToZeroOrOne(p.red) && clampsToZeroOrOne(p.green) && clampsToZeroOrOne(p.blue);
    });
}

float foldedFogFactor(const FogState& fog, float distance) {
    // distance * (-1 / end) is exact for a power-of-two end; the sum rounds once.
    return std::clamp(std::fabs(distance) * (-1.0f / fog.end) + 1.0f, 0.0f, 1.0f);
}

bool spriteOnlyMagnified(int viewportWidth, int viewportHeight) {
    // A sprite spans 0.05 of the 2-unit NDC width: 0.025 of the viewport.
    return viewportWidth * 0.025 >= SpriteSize && viewportHeight * 0.025 >= SpriteSize;
}
