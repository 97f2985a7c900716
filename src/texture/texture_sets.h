#pragma once
#include <array>
#include <cstdint>
#include <string>

// File names of the picture set, index 0..12, loaded in this order (ids 1..13).
extern const std::array<std::string, 13> pictureFiles;

// Texture ids of the start-up images, written once at start-up (0 until their routine ran).
// A texture id is also the GL texture name that holds the image.
extern std::array<uint32_t, 13> pictureTextures;  // picture set, index 0..12
extern uint32_t cubeTexture;                      // "data/texture.tga"
extern uint32_t warpTexture;                      // GL name of the warp scenes' own image
extern uint32_t boxTexture;                       // "data/blueTex.tga"
extern uint32_t plateTexture;                     // "data/divozed.tga"

// Start-up values of the ids above: 0.
void resetTextureSets();

// The start-up routines, called once each in this order after the GL context exists.
void loadPictureSet();
void loadCubeTexture();
void reserveWarpTexture();
void loadBoxAndPlateTextures();

// Starts decoding every start-up image above in the background, in load order, so that the
// routines above find them decoded. Called before the display is created, in the directory
// that holds data/.
void prefetchStartupImages();
