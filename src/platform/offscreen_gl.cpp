#include "platform/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

#include "platform/display.h"

#ifndef EGL_PLATFORM_SURFACELESS_MESA
#define EGL_PLATFORM_SURFACELESS_MESA 0x31DD
#endif

std::unique_ptr<OffscreenContext> OffscreenContext::create(int width, int height,
                                                           std::string& error, bool* tooLarge) {
    if (tooLarge != nullptr) *tooLarge = false;
    if (width <= 0 || height <= 0) {
        error = "offscreen size must be positive";
        return nullptr;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        error = "EGL has no eglGetPlatformDisplayEXT";
        return nullptr;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        error = "cannot open the surfaceless EGL display";
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL cannot bind desktop OpenGL";
        return nullptr;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1) {
        error = "no EGL config for desktop OpenGL";
        return nullptr;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        error = "cannot create an OpenGL compatibility context";
        return nullptr;
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        eglDestroyContext(display, context);
        error = "cannot make the surfaceless context current";
        return nullptr;
    }

    std::unique_ptr<OffscreenContext> result(new OffscreenContext());
    result->width_ = width;
    result->height_ = height;
    result->display_ = display;
    result->context_ = context;

    GLint largestBuffer = 0;
    GLint largestViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largestBuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largestViewport);
    const int largestWidth = std::min(largestBuffer, largestViewport[0]);
    const int largestHeight = std::min(largestBuffer, largestViewport[1]);
    if (width > largestWidth || height > largestHeight) {
        error = std::to_string(width) + "x" + std::to_string(height) +
                " is larger than this GL driver draws (at most " + std::to_string(largestWidth) + "x" +
                std::to_string(largestHeight) + ")";
        if (tooLarge != nullptr) *tooLarge = true;
        return nullptr;
    }
    glGenRenderbuffers(1, &result->colorBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, result->colorBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    glGenFramebuffers(1, &result->framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, result->framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              result->colorBuffer_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the offscreen framebuffer is incomplete (size too large?)";
        return nullptr;
    }
    glViewport(0, 0, width, height);
    setDesktopRect({0, 0, width, height});
    return result;
}

OffscreenContext::~OffscreenContext() {
    if (display_ == nullptr) return;
    // Another context may have been made current since; leave that one alone.
    if (eglGetCurrentContext() == static_cast<EGLContext>(context_)) {
        if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
        if (colorBuffer_ != 0) glDeleteRenderbuffers(1, &colorBuffer_);
        eglMakeCurrent(static_cast<EGLDisplay>(display_), EGL_NO_SURFACE, EGL_NO_SURFACE,
                       EGL_NO_CONTEXT);
    }
    eglDestroyContext(static_cast<EGLDisplay>(display_), static_cast<EGLContext>(context_));
}

void OffscreenContext::finish() const { glFinish(); }

void OffscreenContext::readPixelsBottomUp(uint8_t* pixels, bool bgra) const {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, bgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

std::vector<uint8_t> OffscreenContext::readPixelsTopDown() const {
    const size_t rowBytes = size_t(width_) * 4;
    std::vector<uint8_t> bottomUp(rowBytes * size_t(height_));
    readPixelsBottomUp(bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int row = 0; row < height_; ++row)
        std::memcpy(&topDown[size_t(row) * rowBytes],
                    &bottomUp[size_t(height_ - 1 - row) * rowBytes], rowBytes);
    return topDown;
}
