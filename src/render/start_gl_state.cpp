#include "render/start_gl_state.h"

#include <GL/gl.h>

namespace {
GLint startViewport[4] = {};  // x, y, width, height in pixels
uint32_t startTexture = 0;    // GL name bound to GL_TEXTURE_2D
}  // namespace

void noteStartGlState(uint32_t boundTexture) {
    glGetIntegerv(GL_VIEWPORT, startViewport);
    startTexture = boundTexture;
}

void restoreStartGlState() {
    // Capabilities: all off but blending, as a new context after the particle preparation.
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glFogf(GL_FOG_MODE, float(GL_EXP));
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 1.0f);
    glClearColor(0, 0, 0, 0);
    glColor4f(1, 1, 1, 1);
    glTexCoord2f(0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(startViewport[0], startViewport[1], startViewport[2], startViewport[3]);
    glBindTexture(GL_TEXTURE_2D, startTexture);
}

void fitStartViewport(int width, int height) {
    startViewport[0] = 0;
    startViewport[1] = 0;
    startViewport[2] = width;
    startViewport[3] = height;
    glViewport(0, 0, width, height);
}

void resetStartGlState() {
    for (GLint& value : startViewport) value = 0;
    startTexture = 0;
}
