#pragma once
#include <GL/gl.h>

#include <vector>

// Every texture name passed to glDeleteTextures in this test process, in call order. The
// test binary wraps glDeleteTextures (forwarding to the driver) to record them.
std::vector<GLuint>& deletedTextureNames();
