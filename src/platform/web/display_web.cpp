#include <EGL/egl.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

#include "platform/display.h"
#include "platform/startup_failure.h"
#include "platform/web/page_bridge.h"

struct DisplayDevice {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

namespace {

// The page's canvas (Module.canvas): the show's one surface.
constexpr const char* Canvas = "#canvas";

DisplayDevice displayDevice;
bool displayCreated = false;
int requestedWidth = 0;   // pixels; 0: keep the canvas's own size
int requestedHeight = 0;  // pixels

[[noreturn]] void failDisplay(const char* what) {
    char code[32];
    std::snprintf(code, sizeof code, " (EGL error 0x%04x)", unsigned(eglGetError()));
    failStartup(what + std::string(code));
}

}  // namespace

// The browser calls the page back once per refresh of the display: there is nothing to cap.
void requestUncappedPresents() {}

void requestWindowedDisplay(int width, int height) {
    requestedWidth = width;
    requestedHeight = height;
}

void createDisplay() {
    // The canvas's drawing buffer plays the desktop: the page sizes it to the screen in
    // device pixels (or to the frame hook's size) and scales it to the window with CSS.
    if (requestedWidth > 0 && requestedHeight > 0)
        emscripten_set_canvas_element_size(Canvas, requestedWidth, requestedHeight);
    int width = 0, height = 0;
    emscripten_get_canvas_element_size(Canvas, &width, &height);
    setDesktopRect({0, 0, width, height});

    // Through EGL, so that the fixed-function emulation sets itself up on the new context.
    // Like the show's window: 24-bit colour, no alpha (the page does not show through), no
    // depth buffer, no multisampling.
    DisplayDevice& d = displayDevice;
    d.display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (d.display == EGL_NO_DISPLAY || eglInitialize(d.display, nullptr, nullptr) != EGL_TRUE)
        failDisplay("cannot open the page's display");
    const EGLint configAttributes[] = {EGL_RED_SIZE,     8, EGL_GREEN_SIZE,   8, EGL_BLUE_SIZE, 8,
                                       EGL_ALPHA_SIZE,   0, EGL_DEPTH_SIZE,   0, EGL_STENCIL_SIZE, 0,
                                       EGL_SAMPLE_BUFFERS, 0, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (eglChooseConfig(d.display, configAttributes, &config, 1, &configs) != EGL_TRUE || configs < 1)
        failDisplay("no suitable WebGL configuration");
    d.surface = eglCreateWindowSurface(d.display, config, 0, nullptr);
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    d.context = eglCreateContext(d.display, config, EGL_NO_CONTEXT, contextAttributes);
    if (d.surface == EGL_NO_SURFACE || d.context == EGL_NO_CONTEXT)
        failDisplay("cannot create a WebGL context");
    if (eglMakeCurrent(d.display, d.surface, d.surface, d.context) != EGL_TRUE)
        failDisplay("cannot make the WebGL context current");
    listenForKeys();
    displayCreated = true;
}

// The page has its own control for full screen, and its canvas keeps its size.
void toggleFullScreen() {}

void completeFullScreen() {}

bool followDrawableSize() { return false; }

DisplayDevice* displayDeviceContext() { return displayCreated ? &displayDevice : nullptr; }

void swapBuffers(DisplayDevice* device) {
    // The page presents the canvas when the animation-frame callback returns; this marks
    // the frame done for EGL and costs nothing.
    if (device != nullptr && device->surface != EGL_NO_SURFACE) eglSwapBuffers(device->display, device->surface);
}
