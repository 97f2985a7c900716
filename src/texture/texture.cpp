#include "texture/texture.h"

Texture::Texture(const std::string& name) : fileName(name) {
    glGenTextures(1, &glName);
    glBindTexture(GL_TEXTURE_2D, glName);
    priority = 0.0f;
    glPrioritizeTextures(1, &glName, &priority);
}

Texture::~Texture() {
    glDeleteTextures(1, &glName);
}
