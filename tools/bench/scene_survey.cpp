#include "scene_survey.h"

#include <GL/gl.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "app/frame.h"
#include "font/text_drawing.h"
#include "scenes/captions.h"
#include "scenes/opening_scene.h"
#include "scenes/particle_scene.h"
#include "texture/texture_sets.h"

namespace bench {

namespace {

// The closing scene's plate, x -20..-5 and y -25..-5 at z -20, seen through
// glFrustum(-1, 1, -1, 1, 1, 1000) after a move of 0.999 along -z: NDC x = x / 20.999,
// likewise y, and the bottom is cut off at -1.
constexpr double PlateDistance = 20.999;
constexpr double PlateScreens =
    (-5 / PlateDistance - -20 / PlateDistance) * (-5 / PlateDistance - -1.0) / 4.0;

LayerState textured(uint32_t texture, float across, float down, bool fog, int source,
                    int destination, float alpha) {
    LayerState state;
    state.texture = texture;
    state.repeatsAcross = across;
    state.repeatsDown = down;
    state.fog = fog;
    state.blendSource = source;
    state.blendDestination = destination;
    state.alpha = alpha;
    return state;
}

// A picture quad: full screen, fog and blending on as the scene leaves them (the scene
// itself may switch them off where they change no pixel).
void addPicture(ScenePixels& pixels, int32_t index, int destinationFactor) {
    const size_t slot = size_t(std::clamp(index, 0, int32_t(pictureTextures.size()) - 1));
    pixels.add(textured(pictureTextures[slot], 1, 1, true, GL_SRC_ALPHA, destinationFactor, 1), 1, 1);
}

void addCaptions(ScenePixels& pixels, uint32_t now) {
    const std::optional<TextFont> font = currentTextFont();
    if (!font || font->metrics.cellWidth <= 0 || font->metrics.cellHeight <= 0) return;
    static std::vector<GlyphQuad> glyphs;
    for (const CaptionLine& line : captionLinesAt(now)) {
        layoutTextInto(glyphs, line.x, line.y, CaptionBoxWidth, CaptionBoxHeight, line.text,
                       font->metrics);
        // A glyph cell shows cellWidth texels over cellWidth overlay units.
        LayerState state = textured(font->texture, 320.0f / float(16 * font->metrics.cellWidth),
                                    200.0f / float(16 * font->metrics.cellHeight), false,
                                    GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 0.8f);
        pixels.add(state, glyphScreens(glyphs), double(glyphs.size()));
    }
}

}  // namespace

void surveyFrame(int scene, uint32_t now, double particleScreensDrawn, ScenePixels& pixels) {
    ++pixels.frames;
    switch (Scene(scene)) {
        case Scene::Opening:
            // The eye is inside the cube, so its faces cover every pixel exactly once.
            pixels.add(textured(cubeTexture, 2, 2, true, GL_SRC_ALPHA, GL_ONE, 0.8f), 1, 6);
            if (openingFlashState().active)
                pixels.add(textured(0, 1, 1, true, GL_SRC_ALPHA, GL_ONE, 0.8f), 1, 1);
            addCaptions(pixels, now);
            break;
        case Scene::StartPicture:
            addPicture(pixels, 0, GL_ONE_MINUS_SRC_ALPHA);  // the captions' blend function
            break;
        case Scene::BeatPictures:
        case Scene::Slideshow:
            addPicture(pixels, pictureState().currentPicture, GL_ONE);
            break;
        case Scene::Greetings:
            addPicture(pixels, 11, GL_ONE);
            break;
        case Scene::Lumenkarp:
            addPicture(pixels, 12, GL_ONE);
            break;
        case Scene::WarpSweep:
        case Scene::WarpStill:
            // The 1.4 x 1.4 square, turned but wholly on screen: 0.49 of the screen.
            pixels.add(textured(warpTexture, 1 / 0.7f, 1 / 0.7f, true, 0, 0, 0.5f), 0.49, 1);
            break;
        case Scene::Particles:
            pixels.clearsPerFrame = 2;
            // 16 texels on each 0.05 NDC side of a sprite.
            pixels.add(textured(particleSpriteName(), 40, 40, true, GL_SRC_ALPHA,
                                GL_ONE_MINUS_SRC_ALPHA, 0.9f),
                       particleScreensDrawn, ParticleCount);
            break;
        case Scene::ClosingCube: {
            pixels.clearsPerFrame = 2;
            // The eye is inside the box: one face on every pixel.
            LayerState box = textured(boxTexture, 1, 1, false, GL_SRC_ALPHA, GL_ONE, 1);
            box.depthTest = true;
            pixels.add(box, 1, 6);
            LayerState plate = box;
            plate.texture = plateTexture;
            plate.repeatsAcross = float(2 * PlateDistance / 15);
            plate.repeatsDown = float(2 * PlateDistance / 20);
            pixels.add(plate, PlateScreens, 1);
            break;
        }
    }
}

}  // namespace bench
