#include "render/frame_pixels.h"

#include <GL/gl.h>

namespace {
bool seen = true;
GLboolean scissorWasOn = GL_FALSE;
GLint scissorBox[4] = {};  // x, y, width, height in pixels before the unseen frame
}  // namespace

void beginUnseenFrame() {
    scissorWasOn = glIsEnabled(GL_SCISSOR_TEST);
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
    seen = false;
}

void endUnseenFrame() {
    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (scissorWasOn == GL_FALSE) glDisable(GL_SCISSOR_TEST);
    seen = true;
}

void finishUnseenFrames() { glFinish(); }

bool framePixelsSeen() { return seen; }

void resetFramePixels() { seen = true; }
