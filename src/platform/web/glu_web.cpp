// GLU entry points the show uses that the browser's GL emulation does not provide.
#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/web/mipmap_levels.h"

extern "C" GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                                   GLenum format, GLenum type, const void* data) {
    const int components = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 0;
    if (components == 0 || type != GL_UNSIGNED_BYTE) return GLU_INVALID_ENUM;
    // Rows as the caller packed them (GL_UNPACK_ALIGNMENT), made tight for the filter.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    const size_t rowBytes = size_t(width) * size_t(components);
    const size_t stride = (rowBytes + size_t(alignment) - 1) / size_t(alignment) * size_t(alignment);
    if (width <= 0 || height <= 0 || data == nullptr) return GLU_INVALID_VALUE;
    std::vector<uint8_t> tight(rowBytes * size_t(height));
    const auto* source = static_cast<const uint8_t*>(data);
    for (GLsizei y = 0; y < height; ++y)
        std::copy(source + size_t(y) * stride, source + size_t(y) * stride + rowBytes, tight.begin() + long(size_t(y) * rowBytes));
    // Only power-of-two sides, which is all the show passes; GLU would rescale others first.
    const std::vector<MipLevel> levels = boxFilterMipmaps(tight.data(), width, height, components);
    if (levels.empty()) return GLU_INVALID_VALUE;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (size_t i = 0; i < levels.size(); ++i)
        glTexImage2D(target, GLint(i), internalFormat, levels[i].width, levels[i].height, 0, format, type,
                     levels[i].pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return 0;
}
