#include "texture/texture_manager.h"

#include <cstdlib>

#include "texture/tga_reader.h"

namespace {

TextureManager* manager = nullptr;
bool exitRoutineRegistered = false;

// GL 1.1 takes any image whose sides fit GL_MAX_TEXTURE_SIZE (non-power-of-two sides are
// passed on unchanged). Records without pixels or format are not uploaded.
bool canUpload(const Texture& texture) {
    if (!texture.pixels || texture.format == 0) return false;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    return texture.width <= static_cast<uint32_t>(maxSize) &&
           texture.height <= static_cast<uint32_t>(maxSize);
}

}  // namespace

TextureManager* TextureManager::instance() {
    if (manager == nullptr) {
        if (!exitRoutineRegistered) exitRoutineRegistered = std::atexit(releaseTextures) == 0;
        manager = new TextureManager();
    }
    return manager;
}

TextureManager::TextureManager() { slots.emplace_back(); }

TextureManager::~TextureManager() = default;

uint32_t TextureManager::loadTexture(const std::string& fileName, float priority) {
    const auto id = static_cast<uint32_t>(slots.size());
    slots.emplace_back();
    std::unique_ptr<Texture> texture = loadTga(fileName);
    if (!texture) return id;
    texture->priority = priority;
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
    if (canUpload(*texture)) {
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(texture->format),
                     static_cast<GLsizei>(texture->width), static_cast<GLsizei>(texture->height),
                     0, texture->format, GL_UNSIGNED_BYTE, texture->pixels.get());
    }
    slots[id] = std::move(texture);
    return id;
}

Texture* TextureManager::getTexture(uint32_t id) const {
    return id < slots.size() ? slots[id].get() : nullptr;
}

void releaseTextures() {
    if (manager == nullptr) return;
    auto& slots = manager->slots;
    while (!slots.empty()) slots.pop_back();  // the record of the last slot goes first
}

void destroyTextureManager() {
    releaseTextures();
    delete manager;
    manager = nullptr;
}
