#include "scenes/particle_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <optional>

#include "render/fog_state.h"
#include "render/frame_pixels.h"
#include "render/matrix_stack.h"
#include "scenes/particle_shortcuts.h"
#include "scenes/particle_sprite.h"
#include "texture/texture_names.h"

namespace {

ParticleCloud particles{};
StrokeTable strokes{};
uint32_t particleSprite = 0;
std::optional<uint32_t> sceneStart;  // clock value (ms) of the scene's first frame

// The sprite's minifying filter (its magnifying filter is GL_LINEAR).
constexpr GLint SpriteMinifyingFilter = GL_LINEAR_MIPMAP_NEAREST;

// Side of a particle's square, NDC; its lower-left corner is the particle's position.
constexpr double SpriteSide = 0.05;

// The sprite's colour, with the fog factor folded in when fog is off for the sprites.
void setSpriteColour(const Particle& p, const FogState* foldedFog) {
    if (foldedFog == nullptr) {
        glColor4f(p.red, p.green, p.blue, 0.9f);
        return;
    }
    const float f = foldedFogFactor(*foldedFog, p.z);
    const auto fogged = [f](float channel) { return std::clamp(channel, 0.0f, 1.0f) * f; };
    glColor4f(fogged(p.red), fogged(p.green), fogged(p.blue), 0.9f);
}

void drawSprite(const Particle& p) {
    const float right = float(p.x + SpriteSide);
    const float top = float(p.y + SpriteSide);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2d(1, 1);
    glVertex3f(right, p.y, p.z);
    glTexCoord2d(0, 1);
    glVertex3f(p.x, p.y, p.z);
    glTexCoord2d(1, 0);
    glVertex3f(right, top, p.z);
    glTexCoord2d(0, 0);
    glVertex3f(p.x, top, p.z);
    glEnd();
}

}  // namespace

const ParticleCloud& particleCloud() { return particles; }
uint32_t particleSpriteName() { return particleSprite; }

void initParticles() {
    // The sprite's GL name comes from the own-name range, not glGenTextures, so that it can
    // never coincide with a texture id the texture manager hands out later (the fonts).
    particleSprite = reserveOwnTextureName();
    glBindTexture(GL_TEXTURE_2D, particleSprite);
    const SpriteImage sprite = makeParticleSprite();
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, SpriteSize, SpriteSize, GL_RGBA, GL_UNSIGNED_BYTE,
                      sprite.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, SpriteMinifyingFilter);
    glEnable(GL_BLEND);
    particles = makeParticleCloud();
    strokes = makeStrokeTable();
}

void resetParticleScene() {
    particles = ParticleCloud{};
    strokes = StrokeTable{};
    particleSprite = 0;
    sceneStart.reset();
}

void rewindParticleScene() {
    particles = makeParticleCloud();
    strokes = makeStrokeTable();
    sceneStart.reset();
}

void drawParticleScene(uint32_t now) {
    pushIdentityMatrices();
    if (!sceneStart) sceneStart = now;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // Texturing is not enabled here: the picture and warp scenes before this one leave it on.
    glBindTexture(GL_TEXTURE_2D, particleSprite);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const auto elapsed = int32_t(now - *sceneStart);
    // Fog folded into the colours and a plain linear minifying filter give the same pixels
    // for less work (particle_shortcuts.h); both are put back after the sprites.
    const FogState fog = readFogState();
    const bool foldFog = fogFoldsIntoParticleColour(fog, particles);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const bool magnifiedOnly = spriteOnlyMagnified(viewport[2], viewport[3]);
    if (foldFog) glDisable(GL_FOG);
    if (magnifiedOnly) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // An unseen frame moves the particles without drawing them, leaving the current colour
    // and texture coordinate as the last sprite would.
    const bool seen = framePixelsSeen();
    for (Particle& p : particles) {
        if (seen) {
            setSpriteColour(p, foldFog ? &fog : nullptr);
            drawSprite(p);
        } else if (&p == &particles.back()) {
            setSpriteColour(p, foldFog ? &fog : nullptr);
            glTexCoord2d(0, 0);
        }
        moveParticle(p, strokes, elapsed);
    }
    if (magnifiedOnly) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, SpriteMinifyingFilter);
    if (foldFog) glEnable(GL_FOG);
    popMatrices();
}
