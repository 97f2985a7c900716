#include "deleted_textures.h"

#include <dlfcn.h>

std::vector<GLuint>& deletedTextureNames() {
    // Never destroyed: the texture manager's exit routine still deletes names after it.
    static auto* names = new std::vector<GLuint>;
    return *names;
}

// Takes precedence over the GL library's symbol for all code linked into the test binary.
extern "C" void glDeleteTextures(GLsizei n, const GLuint* textures) {
    using DeleteTextures = void (*)(GLsizei, const GLuint*);
    static auto driver = reinterpret_cast<DeleteTextures>(dlsym(RTLD_NEXT, "glDeleteTextures"));
    for (GLsizei i = 0; i < n; ++i) deletedTextureNames().push_back(textures[i]);
    driver(n, textures);
}
