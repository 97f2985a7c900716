#include "texture/texture_sets.h"

#include <GL/gl.h>

#include <string>
#include <vector>

#include "texture/image_prefetch.h"
#include "texture/texture_manager.h"
#include "texture/texture_names.h"

const std::array<std::string, 13> pictureFiles = {
    "data/start.tga", "data/1.tga",     "data/2.tga",     "data/3.tga",         "data/4.tga",
    "data/5.tga",     "data/ruxo1.tga", "data/ruxo2.tga", "data/ruxo3.tga",     "data/ruxo4.tga",
    "data/ruxo5.tga", "data/greetings.tga", "data/lumenkarp.tga"};

std::array<uint32_t, 13> pictureTextures{};
uint32_t cubeTexture = 0;
uint32_t warpTexture = 0;
uint32_t boxTexture = 0;
uint32_t plateTexture = 0;

void loadPictureSet() {
    for (size_t i = 0; i < pictureFiles.size(); ++i)
        pictureTextures[i] = TextureManager::instance()->loadTexture(pictureFiles[i], 0.0f);
}

namespace {
constexpr const char* CubeFile = "data/texture.tga";
constexpr const char* BoxFile = "data/blueTex.tga";
constexpr const char* PlateFile = "data/divozed.tga";
}  // namespace

void prefetchStartupImages() {
    std::vector<std::string> files(pictureFiles.begin(), pictureFiles.end());
    files.insert(files.end(), {CubeFile, BoxFile, PlateFile});
    startImagePrefetch(std::move(files));
}

void loadCubeTexture() {
    cubeTexture = TextureManager::instance()->loadTexture(CubeFile, 0.0f);
}

void reserveWarpTexture() {
    // A name from the own range, never a texture id; the warp scenes upload into it.
    warpTexture = reserveOwnTextureName();
    glBindTexture(GL_TEXTURE_2D, warpTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

void loadBoxAndPlateTextures() {
    boxTexture = TextureManager::instance()->loadTexture(BoxFile, 0.0f);
    plateTexture = TextureManager::instance()->loadTexture(PlateFile, 0.0f);
}

void resetTextureSets() {
    pictureTextures = {};
    cubeTexture = 0;
    warpTexture = 0;
    boxTexture = 0;
    plateTexture = 0;
}
