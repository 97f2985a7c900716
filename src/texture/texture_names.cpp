#include "texture/texture_names.h"

#include <GL/gl.h>

namespace {
uint32_t nextOwnName = OwnTextureNameBase;
}

uint32_t reserveOwnTextureName() {
    // Names that glGenTextures handed out after the first own name lie in this range too;
    // those are in use (bound) and are skipped.
    while (glIsTexture(nextOwnName) == GL_TRUE) ++nextOwnName;
    const uint32_t name = nextOwnName++;
    glBindTexture(GL_TEXTURE_2D, name);
    return name;
}

void resetOwnTextureNames() { nextOwnName = OwnTextureNameBase; }
