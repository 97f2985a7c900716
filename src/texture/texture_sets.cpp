#include "texture/texture_sets.h"

std::array<uint32_t, 13> pictureTextures{};
uint32_t cubeTexture = 0;
uint32_t warpTexture = 0;
uint32_t boxTexture = 0;
uint32_t plateTexture = 0;

void loadPictureSet() {}
void loadCubeTexture() {}
void reserveWarpTexture() {}
void loadBoxAndPlateTextures() {}
