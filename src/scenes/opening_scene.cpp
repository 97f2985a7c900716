#include "scenes/opening_scene.h"

#include <GL/gl.h>

#include "font/font_manager.h"
#include "font/text_drawing.h"
#include "render/matrix_stack.h"
#include "render/overlay.h"
#include "scenes/captions.h"
#include "texture/texture_sets.h"

namespace {

FlashState flash;

struct CubeCorner {
    float s, t;     // texture coordinates, -1..1 (the image repeats two by two)
    float x, y, z;  // eye space, -3..3
};

// Six faces, four corners each, in drawing order.
constexpr CubeCorner OpeningCube[24] = {
    {-1, -1, -3, -3, -3}, {1, -1, 3, -3, -3}, {1, 1, 3, 3, -3},   {-1, 1, -3, 3, -3},  // z = -3
    {-1, -1, -3, -3, 3},  {-1, 1, -3, 3, 3},  {1, 1, 3, 3, 3},    {1, -1, 3, -3, 3},   // z = 3
    {-1, -1, -3, -3, 3},  {1, -1, -3, -3, -3}, {1, 1, -3, 3, -3}, {-1, 1, -3, 3, 3},   // x = -3
    {-1, -1, 3, -3, 3},   {1, -1, 3, -3, -3}, {1, 1, 3, 3, -3},   {-1, 1, 3, 3, 3},    // x = 3
    {-1, -1, -3, -3, 3},  {1, -1, 3, -3, 3},  {1, 1, 3, -3, -3},  {-1, 1, -3, -3, -3}, // y = -3
    {-1, -1, -3, 3, 3},   {1, -1, 3, 3, 3},   {1, 1, 3, 3, -3},   {-1, 1, -3, 3, -3},  // y = 3
};

void drawCaptions(uint32_t now) {
    const auto lines = captionLinesAt(now);
    if (lines.empty()) return;
    // The first caption frame builds the font registry.
    FontManager::instance();
    beginOverlay();
    for (const CaptionLine& line : lines) {
        drawText(line.x, line.y, CaptionBoxWidth, CaptionBoxHeight, line.text);
    }
    endOverlay();
}

}  // namespace

float openingCubeAngle(uint32_t now) { return float(now + 10000u) * 0.002f; }

const FlashState& openingFlashState() { return flash; }

void drawOpeningCube() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, cubeTexture);
    glBegin(GL_QUADS);
    for (const CubeCorner& c : OpeningCube) {
        glTexCoord2f(c.s, c.t);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}

void drawBeatFlash(uint32_t now) {
    if (!advanceFlash(flash, now)) return;
    glDisable(GL_TEXTURE_2D);
    pushIdentityMatrices();
    glColor4f(1, 1, 1, 0.8f);
    glBegin(GL_QUADS);
    glTexCoord2f(-1, -1);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, -1);
    glVertex3f(1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, 1, 0);
    glTexCoord2f(-1, 1);
    glVertex3f(-1, 1, 0);
    glEnd();
    popMatrices();
}

void drawOpeningScene(uint32_t now) {
    setupSceneView();
    // Linear black fog from the eye (0) to the cube's far corners (8); the colour and
    // density stay at the GL defaults.
    glEnable(GL_FOG);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 8.0f);
    glFogf(GL_FOG_MODE, float(GL_LINEAR));
    glRotatef(openingCubeAngle(now), 1.0f, 0.0f, 0.6f);
    drawOpeningCube();
    drawBeatFlash(now);
    drawCaptions(now);
}

void resetOpeningScene() { flash = FlashState{}; }
