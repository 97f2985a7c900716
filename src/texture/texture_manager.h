#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "texture/texture.h"

// The process-wide owner of every texture loaded from a file. Each load fills the next
// slot; the slot number is the texture id and also the GL texture name holding the image,
// so users bind the id directly. Slot 0 stays empty.
class TextureManager {
public:
    // Registers releaseTextures with atexit (once per process), then builds the manager
    // when there is none.
    static TextureManager* instance();
    virtual ~TextureManager();

    // Loads a TGA file and uploads it into the GL texture named by the returned id
    // (repeat wrap, linear filters, GL_MODULATE). A file that yields no record leaves its
    // slot empty and uploads nothing; its id is returned all the same.
    uint32_t loadTexture(const std::string& fileName, float priority);

    // The record of an id; none for id 0, an empty slot or an id beyond the slots.
    Texture* getTexture(uint32_t id) const;

    uint32_t slotCount() const { return static_cast<uint32_t>(slots.size()); }

private:
    TextureManager();
    friend void releaseTextures();
    friend void destroyTextureManager();

    std::vector<std::unique_ptr<Texture>> slots;  // index = texture id
};

// Exit routine: destroys the records in reverse load order and empties the slots.
void releaseTextures();

// Releases the records as at exit and deletes the manager, so that the next instance()
// starts again from slot 1 (a reset of the show's state).
void destroyTextureManager();
