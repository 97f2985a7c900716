#include "app/frame.h"

#include <GL/gl.h>

#include "app/audio_clock.h"
#include "app/input.h"
#include "app/shell.h"
#include "platform/display.h"
#include "render/frame_pixels.h"
#include "render/overlay.h"
#include "render/start_gl_state.h"
#include "scenes/cube_scene.h"
#include "scenes/opening_scene.h"
#include "scenes/particle_scene.h"
#include "scenes/picture_scene.h"
#include "scenes/warp_scenes.h"
#include "texture/image_prefetch.h"
#include "texture/texture_sets.h"

namespace {
PictureState pictures;
TickDriver player;
PlayStats stats;
}  // namespace

void resetFrame() {
    pictures = PictureState{};
    player = TickDriver{};
    stats = PlayStats{};
}

void rewindPictures() { pictures = PictureState{}; }

const PlayStats& playStats() { return stats; }

const PictureState& pictureState() { return pictures; }

void prepareShow() {
    loadPictureSet();
    loadCubeTexture();
    reserveWarpTexture();
    loadBoxAndPlateTextures();
    stopImagePrefetch();  // every start-up image is taken: its thread has no more work
    initParticles();
    pictures = PictureState{};
    // The particle preparation bound its sprite last.
    noteStartGlState(particleSpriteName());
}

void drawFrame(uint32_t now, FramePixels pixels) {
    if (pixels == FramePixels::None) beginUnseenFrame();
    // Every picture scene draws its picture first after this clear (setupSceneView and the
    // bookkeeping before it draw nothing): PictureBackdrop::ClearedFrame.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    switch (Scene(advanceSceneIndex(now))) {
        case Scene::Opening:
            drawOpeningScene(now);
            break;
        case Scene::StartPicture:
            drawPicture(0, PictureBackdrop::ClearedFrame);
            break;
        case Scene::WarpSweep:
            drawWarpSweep();
            break;
        case Scene::Particles:
            drawParticleScene(now);
            pickPictureAfterParticles(pictures);
            break;
        case Scene::BeatPictures:
            setupSceneView();
            stepPictureBeats(pictures, now);
            drawPicture(pictures.currentPicture, PictureBackdrop::ClearedFrame);
            break;
        case Scene::WarpStill:
            drawWarpStill();
            resetPicturesAfterWarp(pictures);
            break;
        case Scene::Slideshow:
            setupSceneView();
            stepPictureSlideshow(pictures, now);
            drawPicture(pictures.currentPicture, PictureBackdrop::ClearedFrame);
            break;
        case Scene::Greetings:
            drawPicture(11, PictureBackdrop::ClearedFrame);
            break;
        case Scene::Lumenkarp:
            drawPicture(12, PictureBackdrop::ClearedFrame);
            break;
        case Scene::ClosingCube:
            glColor4f(1, 1, 1, 1);
            drawCubeScene();
            break;
        default:
            break;  // timeline over: the cleared frame is presented
    }
    if (pixels == FramePixels::None) endUnseenFrame();
}

DueFrames runDueFrames(TickDriver& driver, uint32_t nowMs, FramePixels lastPixels) {
    const DueFrames due = takeDueFrames(driver, nowMs);
    for (uint64_t i = 0; i < due.count; ++i) {
        const bool last = i + 1 == due.count;
        drawFrame(dueFrameClock(driver, due.first + i, nowMs), last ? lastPixels : FramePixels::None);
    }
    return due;
}

void setPlayerShowRate(uint32_t startMs, uint32_t rate, bool lockCadence) {
    player = TickDriver{};
    player.show = {startMs, rate};
    player.lockCadence = lockCadence;
}

const TickDriver& playerTicks() { return player; }

PlayOutcome playFrame() {
    const uint32_t now = clockMs();
    const DueFrames due = runDueFrames(player, now);
    if (due.count > 0) {
        if (stats.showFrames == 0) stats.firstFrameMs = dueFrameClock(player, due.first, now);
        stats.showFrames += due.count;
        stats.lastFrameMs = dueFrameClock(player, due.first + due.count - 1, now);
        ++stats.presents;
        pumpMessages();
        swapBuffers(displayDeviceContext());
        // The show clock leans ahead by how long frames take to be seen (unused by other
        // clocks).
        showFramePresented();
    }
    const uint32_t next = nextFrameClock(player, now);
    return {due.count > 0, next > now ? next - now : 0};
}
