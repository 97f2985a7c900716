#pragma once
#include <span>

#include "render/fog_state.h"
#include "scenes/particles.h"

// When the particle sprites may be drawn with fog or mipmapping switched off, giving the same
// pixels for less work in a software rasterizer:
// - Fog: with identity matrices all four corners of a sprite lie at eye distance |z|, so the
//   fog factor f is one number per sprite. Linear black fog turns a fragment colour t * c
//   (texel times primitive colour) into f * (t * c); when every clamped colour channel is 0
//   or 1, t * (c * f) is that same float, so the sprite is drawn in colour c * f without fog.
// - Mipmaps: where a sprite's 16 texels span at least 16 pixels on both axes, it is only ever
//   magnified, which samples level 0 with the linear filter whatever the minifying filter;
//   a plain linear minifying filter then samples the same texels without the level choice.

// True when fog can be folded into the colour of every particle: linear fog from 0 to an
// end that is a power of two (the factor 1 - d / end is then rounded once, exactly as the GL
// computes it), black fog colour, and colour channels that clamp to exactly 0 or 1.
bool fogFoldsIntoParticleColour(const FogState& fog, std::span<const Particle> particles);

// The fog factor at eye distance `distance` for such fog: clamp(1 - distance / end, 0, 1).
float foldedFogFactor(const FogState& fog, float distance);

// True when a sprite (0.05 NDC square, 16 x 16 texels) covers at least 16 pixels on both
// axes of a viewport of width x height pixels.
bool spriteOnlyMagnified(int viewportWidth, int viewportHeight);
