#include "scenes/warp_scenes.h"

#include <GL/gl.h>

#include "render/frame_pixels.h"
#include "render/matrix_stack.h"
#include "scenes/julia.h"
#include "scenes/julia_fast.h"
#include "texture/texture_sets.h"

namespace {

JuliaSweep sweep;

// Half the side of the square, NDC (the square covers the middle 70 % of each axis).
constexpr float SquareHalf = 0.7f;
// Counter-clockwise tilt of the square, degrees.
constexpr double SquareTilt = 2.5;

// The still scene's image depends only on its constant: computed on its first frame,
// then only uploaded again.
bool stillImageReady = false;

void beginWarpFrame(float re, float im, bool still = false) {
    pushIdentityMatrices();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, warpTexture);
    glDisable(GL_BLEND);
    // The image and its upload are only seen: every seen frame computes and uploads its own.
    if (framePixelsSeen()) {
        if (!still || !stillImageReady)
            renderJuliaFast(re, im, WarpSpanRe, WarpSpanIm, warpPixels.data());
        stillImageReady = still;  // the sweep overwrites the shared buffer
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, JuliaSize, JuliaSize, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, warpPixels.data());
    }
    glBindTexture(GL_TEXTURE_2D, warpTexture);
    glRotated(SquareTilt, 0, 0, 1);
    glColor4f(1, 1, 1, 0.5f);
    // Columns (imaginary axis) run left to right, rows (real axis) bottom to top.
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2d(1, 1);
    glVertex3f(SquareHalf, SquareHalf, 0);
    glTexCoord2d(0, 1);
    glVertex3f(-SquareHalf, SquareHalf, 0);
    glTexCoord2d(1, 0);
    glVertex3f(SquareHalf, -SquareHalf, 0);
    glTexCoord2d(0, 0);
    glVertex3f(-SquareHalf, -SquareHalf, 0);
    glEnd();
    glRotated(-SquareTilt, 0, 0, 1);
}

void endWarpFrame() {
    glEnable(GL_BLEND);
    popMatrices();
}

}  // namespace

const JuliaSweep& warpSweepState() { return sweep; }

void drawWarpSweep() {
    beginWarpFrame(sweep.re, sweep.im);
    moveJuliaConstant(sweep);
    endWarpFrame();
}

void drawWarpStill() {
    beginWarpFrame(StillJuliaRe, StillJuliaIm, true);
    endWarpFrame();
}

void resetWarpScenes() {
    sweep = JuliaSweep{};
    stillImageReady = false;
    warpPixels = JuliaImage{};
}
