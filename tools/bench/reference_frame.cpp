#include "reference_frame.h"

#include <GL/gl.h>

#include "render/matrix_stack.h"

namespace bench {

namespace {

constexpr float LayerDepth = 0.5f;  // NDC z of every quad: eye distance 0.5 for the fog

void applyState(const LayerState& state) {
    if (state.texture != 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, state.texture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    if (state.fog) {
        glEnable(GL_FOG);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, 0.0f);
        glFogf(GL_FOG_END, 8.0f);
    } else {
        glDisable(GL_FOG);
    }
    if (state.blendSource != 0 || state.blendDestination != 0) {
        glEnable(GL_BLEND);
        glBlendFunc(GLenum(state.blendSource), GLenum(state.blendDestination));
    } else {
        glDisable(GL_BLEND);
    }
    if (state.depthTest) glEnable(GL_DEPTH_TEST); else glDisable(GL_DEPTH_TEST);
    glColor4f(1, 1, 1, state.alpha);
}

// Texture coordinates follow the screen position, so that the texture repeats as asked.
void vertex(const LayerState& state, float x, float y) {
    glTexCoord2f((x + 1) / 2 * state.repeatsAcross, (y + 1) / 2 * state.repeatsDown);
    glVertex3f(x, y, LayerDepth);
}

void drawQuads(const LayerState& state, const std::vector<NdcRect>& rects) {
    glBegin(GL_QUADS);
    for (const NdcRect& r : rects) {
        vertex(state, r.left, r.bottom);
        vertex(state, r.right, r.bottom);
        vertex(state, r.right, r.top);
        vertex(state, r.left, r.top);
    }
    glEnd();
}

}  // namespace

void drawReferenceFrame(const ReferencePlan& plan, int width, int height) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    pushIdentityMatrices();
    glViewport(0, 0, width, height);
    for (const GLenum capability : {GL_LIGHTING, GL_CULL_FACE, GL_ALPHA_TEST, GL_SCISSOR_TEST})
        glDisable(capability);
    for (int i = 0; i < plan.clears; ++i) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const ReferenceLayer& layer : plan.layers) {
        applyState(layer.state);
        drawQuads(layer.state, layer.quads);
    }
    popMatrices();
    glPopAttrib();
}

}  // namespace bench
