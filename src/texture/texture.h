#pragma once
#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <string>

// One image loaded from a TGA file. Owned by the texture manager.
class Texture {
public:
    // Reserves a GL name for the record, binds it and gives it priority 0.
    explicit Texture(const std::string& fileName);
    // Deletes the GL name (a no-op when no context is current any more) and the pixels.
    virtual ~Texture();

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    uint32_t width = 0;         // pixels, 0 until read
    uint32_t height = 0;        // pixels, 0 until read
    uint32_t bitsPerPixel = 0;  // 24 or 32 for a usable image, 0 until read
    GLenum format = 0;          // GL_RGB (24 bits) or GL_RGBA (32 bits), 0 until set
    GLuint glName = 0;          // the record's own GL name; uploads go by texture id instead
    std::unique_ptr<uint8_t[]> pixels;  // width*height*bitsPerPixel/8 bytes, R G B (A), or none
    std::string fileName;       // the path the record was made for
    float priority = 0.0f;      // GL residency priority as stored by the texture manager
};
