#include "scenes/cube_scene.h"

#include <GL/gl.h>

#include "platform/display.h"
#include "render/matrix_stack.h"
#include "texture/texture_sets.h"

namespace {

double cubeAngle = 0.0;  // degrees

struct BoxCorner {
    float s, t;     // texture coordinates, 0..1
    float x, y, z;  // half-size 40 about the origin
};

constexpr BoxCorner Box[24] = {
    {0, 0, -40, -40, 40},  {1, 0, 40, -40, 40},   {1, 1, 40, 40, 40},    {0, 1, -40, 40, 40},
    {1, 0, -40, -40, -40}, {1, 1, -40, 40, -40},  {0, 1, 40, 40, -40},   {0, 0, 40, -40, -40},
    {0, 1, -40, 40, -40},  {0, 0, -40, 40, 40},   {1, 0, 40, 40, 40},    {1, 1, 40, 40, -40},
    {1, 1, -40, -40, -40}, {0, 1, 40, -40, -40},  {0, 0, 40, -40, 40},   {1, 0, -40, -40, 40},
    {1, 0, 40, -40, -40},  {1, 1, 40, 40, -40},   {0, 1, 40, 40, 40},    {0, 0, 40, -40, 40},
    {0, 0, -40, -40, -40}, {1, 0, -40, -40, 40},  {1, 1, -40, 40, 40},   {0, 1, -40, 40, -40},
};

// The plate: fixed, 20.999 in front of the eye, lower left of the screen.
constexpr BoxCorner Plate[4] = {
    {0, 0, -20, -25, -20}, {1, 0, -5, -25, -20}, {1, 1, -5, -5, -20}, {0, 1, -20, -5, -20}};

void drawQuads(const BoxCorner* corners, int count) {
    glBegin(GL_QUADS);
    for (int i = 0; i < count; ++i) {
        glTexCoord2f(corners[i].s, corners[i].t);
        glVertex3f(corners[i].x, corners[i].y, corners[i].z);
    }
    glEnd();
}

}  // namespace

double cubeSceneAngle() { return cubeAngle; }

void drawCubeScene() {
    pushIdentityMatrices();
    glDisable(GL_FOG);
    const DesktopRect desktop = desktopRect();  // read every frame, not the window's size
    glViewport(0, 0, desktop.right, desktop.bottom);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
    glFrustum(-1, 1, -1, 1, 1, 1000);
    glTranslatef(0, 0, -0.999f);
    cubeAngle += 0.5;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The rotation goes onto the projection matrix; the modelview matrix stays identity.
    glPushMatrix();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    const auto a = float(cubeAngle);
    glRotatef(a, a, a, 0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, boxTexture);
    drawQuads(Box, 24);
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, plateTexture);
    drawQuads(Plate, 4);
    glMatrixMode(GL_MODELVIEW);
    popMatrices();
}

void resetCubeScene() { cubeAngle = 0.0; }
