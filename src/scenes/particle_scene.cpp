#include "scenes/particle_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <optional>

#include "render/matrix_stack.h"
#include "scenes/particle_sprite.h"
#include "texture/texture_names.h"

namespace {

ParticleCloud particles{};
StrokeTable strokes{};
uint32_t particleSprite = 0;
std::optional<uint32_t> sceneStart;  // clock value (ms) of the scene's first frame

// Side of a particle's square, NDC; its lower-left corner is the particle's position.
constexpr double SpriteSide = 0.05;

void drawSprite(const Particle& p) {
    const float right = float(p.x + SpriteSide);
    const float top = float(p.y + SpriteSide);
    glColor4f(p.red, p.green, p.blue, 0.9f);
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
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
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

void drawParticleScene(uint32_t now) {
    pushIdentityMatrices();
    if (!sceneStart) sceneStart = now;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // Texturing is not enabled here: the picture and warp scenes before this one leave it on.
    glBindTexture(GL_TEXTURE_2D, particleSprite);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const auto elapsed = int32_t(now - *sceneStart);
    for (Particle& p : particles) {
        drawSprite(p);
        moveParticle(p, strokes, elapsed);
    }
    popMatrices();
}
