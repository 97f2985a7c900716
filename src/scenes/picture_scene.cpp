#include "scenes/picture_scene.h"

#include <GL/gl.h>

#include "texture/texture_sets.h"

std::optional<int32_t> pictureSlotFor(int32_t index) {
    const auto last = int32_t(pictureTextures.size()) - 1;
    if (index < 0) return std::nullopt;
    return index > last ? last : index;
}

void drawPicture(int32_t index) {
    const auto slot = pictureSlotFor(index);
    if (!slot) return;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, pictureTextures[std::size_t(*slot)]);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    // Both matrices identity: the quad is exactly the viewport.
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, 1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, 1, 0);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
