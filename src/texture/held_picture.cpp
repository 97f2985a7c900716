#include "texture/held_picture.h"

#include <GL/gl.h>

#include <initializer_list>

#include "texture/texture_names.h"

namespace {
uint32_t pictureTexture = 0;  // own GL name; 0: none made yet
int heldWidth = 0;            // pixels of the held picture; 0: none held
int heldHeight = 0;

// Every group of state the two functions change, and both matrices.
void saveState() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT |
                 GL_TRANSFORM_BIT | GL_VIEWPORT_BIT | GL_SCISSOR_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
}

void restoreState() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
}  // namespace

void holdPicture(int width, int height) {
    saveState();
    if (pictureTexture == 0) pictureTexture = reserveOwnTextureName();
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, width, height, 0);
    restoreState();
    heldWidth = width;
    heldHeight = height;
}

bool drawHeldPicture() {
    if (heldWidth == 0) return false;
    saveState();
    for (const GLenum cap : {GL_BLEND, GL_FOG, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING,
                             GL_SCISSOR_TEST, GL_ALPHA_TEST})
        glDisable(cap);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glViewport(0, 0, heldWidth, heldHeight);
    // One texel per pixel: the unit square over the viewport, texel centres on pixel centres.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(1, 0);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(0, 1);
    glEnd();
    restoreState();
    return true;
}

void releaseHeldPicture() {
    heldWidth = 0;
    heldHeight = 0;
}

void resetHeldPicture() {
    pictureTexture = 0;
    releaseHeldPicture();
}
