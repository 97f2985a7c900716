#pragma once
#include <cstdint>

// GL texture names that parts of the show make for themselves (the warp image, the particle
// sprite) come from a range of their own, far above every texture id: texture ids are slot
// numbers of the texture manager and are bound directly as GL names, so a plain
// glGenTextures (Mesa hands out the name after the highest in use) could return an id the
// manager gives out later. Returns an unused name >= OwnTextureNameBase, already bound to
// GL_TEXTURE_2D so that it exists.
inline constexpr uint32_t OwnTextureNameBase = 0x40000000u;
uint32_t reserveOwnTextureName();

// Starts handing out own names from OwnTextureNameBase again (for a new GL context).
void resetOwnTextureNames();
