#include "scenes/picture_scene.h"

#include <GL/gl.h>

#include <array>

#include "render/matrix_stack.h"
#include "scenes/picture_shortcuts.h"
#include "texture/texture_manager.h"
#include "texture/texture_sets.h"

namespace {

// Whether the picture in each slot is fully opaque, worked out on its first draw. `id`
// is the texture id the verdict was made for (0: not yet).
struct OpacityVerdict {
    uint32_t id = 0;
    bool opaque = false;
};
std::array<OpacityVerdict, 13> opacity{};

bool pictureIsOpaque(size_t slot) {
    const uint32_t id = pictureTextures[slot];
    if (id == 0) return false;
    OpacityVerdict& verdict = opacity[slot];
    if (verdict.id != id) {
        const Texture* image = TextureManager::instance()->getTexture(id);
        verdict.id = id;
        verdict.opaque = image != nullptr && image->pixels &&
                         imageIsOpaque(image->pixels.get(), size_t(image->width) * image->height,
                                       image->bitsPerPixel / 8);
    }
    return verdict.opaque;
}

// Capabilities that would leave this draw's pixels unchanged and so are switched off for
// it (and on again after): fog, since the quad lies at eye distance 0, and blending, when
// an opaque picture in opaque white is drawn first into the cleared frame.
struct Bypass {
    bool fog = false;
    bool blend = false;
};

Bypass unchangedByFogAndBlend(size_t slot, PictureBackdrop backdrop) {
    Bypass bypass;
    const FogState fog = readFogState();
    bypass.fog = fog.enabled && fogIsIdentityAtEye(fog);
    if (glIsEnabled(GL_BLEND) == GL_TRUE && pictureIsOpaque(slot)) {
        GLint source = 0, destination = 0;
        glGetIntegerv(GL_BLEND_SRC, &source);
        glGetIntegerv(GL_BLEND_DST, &destination);
        float clear[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        bypass.blend = blendIsIdentityForOpaque(
            source, destination, backdrop == PictureBackdrop::ClearedFrame, clear);
    }
    return bypass;
}

}  // namespace

std::optional<int32_t> pictureSlotFor(int32_t index) {
    const auto last = int32_t(pictureTextures.size()) - 1;
    if (index < 0) return std::nullopt;
    return index > last ? last : index;
}

void drawPicture(int32_t index, PictureBackdrop backdrop) {
    const auto slot = pictureSlotFor(index);
    if (!slot) return;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, pictureTextures[std::size_t(*slot)]);
    pushIdentityMatrices();
    glColor4f(1, 1, 1, 1);
    // A picture that did not load leaves its texture without an image, and GL would draw the
    // quad untextured: a white screen. The frame shows nothing instead, as the cleared frame.
    GLint imageWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &imageWidth);
    if (imageWidth == 0) {
        popMatrices();
        return;
    }
    const Bypass bypass = unchangedByFogAndBlend(std::size_t(*slot), backdrop);
    if (bypass.fog) glDisable(GL_FOG);
    if (bypass.blend) glDisable(GL_BLEND);
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
    if (bypass.blend) glEnable(GL_BLEND);
    if (bypass.fog) glEnable(GL_FOG);
    popMatrices();
}

void resetPictureScene() { opacity = {}; }
