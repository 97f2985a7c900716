#include "app/frame.h"

#include <GL/gl.h>

#include <string>

#include "app/audio_clock.h"
#include "app/input.h"
#include "app/seek.h"
#include "app/shell.h"
#include "app/transport.h"
#include "font/status_line.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "render/frame_pixels.h"
#include "texture/held_picture.h"
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
bool statusLineOn = false;       // showStatusLine
bool stretchEnded = true;        // a transport move since the last frames counted
bool statusLinePresented = false;  // the last present carried the status line
std::string statusLinePresentedText;  // its text

void countFrames(const DueFrames& due, uint32_t now) {
    if (due.count == 0) return;
    const uint32_t first = dueFrameClock(player, due.first, now);
    const uint32_t last = dueFrameClock(player, due.first + due.count - 1, now);
    if (stats.showFrames == 0) stats.firstFrameMs = first;
    // A clock going back without a move is the whole show begun again.
    if (stats.showFrames == 0 || stretchEnded || first < stats.lastFrameMs) {
        stats.playedMs += last - first;
        ++stats.stretches;
    } else {
        stats.playedMs += last - stats.lastFrameMs;
    }
    stretchEnded = false;
    stats.showFrames += due.count;
    stats.lastFrameMs = last;
}

// The window player's additions to a present: the picture held while paused (copied when
// `fresh`, drawn again otherwise) and the status line while it shows. False when there is
// nothing new to present: no fresh frame and the status line as last presented.
bool preparePresent(bool fresh) {
    if (!statusLineOn) return fresh;
    const bool paused = transportState().paused;
    const bool line = statusLineShown(monotonicMs());
    const std::string text = line ? statusLineText(transportState(), shownFrame()) : std::string();
    if (!fresh && line == statusLinePresented && text == statusLinePresentedText) return false;
    const DesktopRect surface = desktopRect();
    const int width = surface.right - surface.left, height = surface.bottom - surface.top;
    if (!paused) {
        releaseHeldPicture();
    } else if (fresh) {
        holdPicture(width, height);
    } else if (!drawHeldPicture()) {
        return false;
    }
    if (line) drawStatusLine(text, width, height);
    statusLinePresented = line;
    statusLinePresentedText = text;
    return true;
}

// A window resized or switched to or from full screen: the show fills the new drawable from
// the next frame on (its viewport is the whole surface, as in a new context of that size).
// A paused picture is taken again at the new size: the shown frame is sought afresh.
void fitSurface() {
    completeFullScreen();
    if (!followDrawableSize()) return;
    const DesktopRect surface = desktopRect();
    fitStartViewport(surface.right - surface.left, surface.bottom - surface.top);
    if (transportState().paused) requestTransport({TransportAction::SeekTo, shownFrame().clockMs});
}
}  // namespace

void resetFrame() {
    pictures = PictureState{};
    player = TickDriver{};
    stats = PlayStats{};
    stretchEnded = true;
    statusLineOn = false;
    statusLinePresented = false;
    statusLinePresentedText.clear();
    resetHeldPicture();
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

void setPlayerShowRate(uint32_t rate, bool lockCadence) {
    player = TickDriver{};
    player.show = wholeRunSchedule(rate);
    player.lockCadence = lockCadence;
}

void setPlayerNextFrame(uint64_t frame) {
    player.next = frame;
    player.cadence = CadenceLock{};
}

const TickDriver& playerTicks() { return player; }

void showStatusLine(bool on) { statusLineOn = on; }

PlayOutcome playFrame() {
    fitSurface();
    if (applyTransport()) stretchEnded = true;
    uint32_t now = clockMs();
    const DueFrames due = runDueFrames(player, now);
    countFrames(due, now);
    bool fresh = due.count > 0;
    if (fresh || transportState().paused) {
        pumpMessages();
        // A key's move lands on the show at another clock value: present that instead.
        if (applyTransport()) {
            stretchEnded = true;
            now = clockMs();
            const DueFrames landed = runDueFrames(player, now);
            countFrames(landed, now);
            fresh = fresh || landed.count > 0;
        }
        if (preparePresent(fresh)) {
            swapBuffers(displayDeviceContext());
            if (fresh) ++stats.presents;
            // The show clock leans ahead by how long frames take to be seen (unused by other
            // clocks); a paused picture says nothing about that.
            if (fresh && !transportState().paused) showFramePresented();
        }
    }
    // Paused, the next frame waits for a key: look for one a few dozen times a second.
    if (transportState().paused) return {fresh, PausedPollMs};
    const uint32_t next = nextFrameClock(player, now);
    return {fresh, next > now ? next - now : 0};
}
