#include "app/frame.h"

#include <GL/gl.h>

#include "app/input.h"
#include "app/shell.h"
#include "platform/display.h"
#include "render/overlay.h"
#include "scenes/cube_scene.h"
#include "scenes/opening_scene.h"
#include "scenes/particle_scene.h"
#include "scenes/picture_scene.h"
#include "scenes/warp_scenes.h"
#include "texture/image_prefetch.h"
#include "texture/texture_sets.h"

namespace {
PictureState pictures;
}

void resetFrame() { pictures = PictureState{}; }

void prepareShow() {
    loadPictureSet();
    loadCubeTexture();
    reserveWarpTexture();
    loadBoxAndPlateTextures();
    stopImagePrefetch();  // every start-up image is taken: its thread has no more work
    initParticles();
    pictures = PictureState{};
}

void drawFrame(uint32_t now) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    switch (advanceSceneIndex(now)) {
        case 0:
            drawOpeningScene(now);
            break;
        case 1:
            drawPicture(0);
            break;
        case 2:
            drawWarpSweep();
            break;
        case 3:
            drawParticleScene(now);
            pickPictureAfterParticles(pictures);
            break;
        case 4:
            setupSceneView();
            stepPictureBeats(pictures, now);
            drawPicture(pictures.currentPicture);
            break;
        case 5:
            drawWarpStill();
            resetPicturesAfterWarp(pictures);
            break;
        case 6:
            setupSceneView();
            stepPictureSlideshow(pictures, now);
            drawPicture(pictures.currentPicture);
            break;
        case 7:
            drawPicture(11);
            break;
        case 8:
            drawPicture(12);
            break;
        case 9:
            glColor4f(1, 1, 1, 1);
            drawCubeScene();
            break;
        default:
            break;  // timeline over: the cleared frame is presented
    }
}

bool playFrame() {
    drawFrame(clockMs());
    pumpMessages();
    swapBuffers(displayDeviceContext());
    return !isQuitRequested();
}
