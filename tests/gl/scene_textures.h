#pragma once
#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <vector>

// Test textures made directly with GL (the texture loader is not needed): `texel(column,
// row)` gives the RGBA of each texel, row 0 = first stored row (t = 0). Repeating, with
// the given filter on both minification and magnification; GL_MODULATE environment.
template <typename TexelFn>
GLuint makeTestTexture(int width, int height, TexelFn texel, GLint filter = GL_NEAREST) {
    std::vector<uint8_t> pixels;
    pixels.reserve(std::size_t(width * height * 4));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const std::array<uint8_t, 4> rgba = texel(column, row);
            pixels.insert(pixels.end(), rgba.begin(), rgba.end());
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return name;
}

// A texture of one colour.
inline GLuint makeSolidTexture(std::array<uint8_t, 4> rgba) {
    return makeTestTexture(2, 2, [=](int, int) { return rgba; });
}
