#include <SDL.h>
#include <SDL_syswm.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/present_pace.h"
#include "platform/startup_failure.h"
#include "platform/x11_errors.h"

struct DisplayDevice {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};

namespace {

DisplayDevice displayDevice;
bool displayCreated = false;
bool windowed = false;
int windowedWidth = 0;   // pixels
int windowedHeight = 0;  // pixels
bool uncapped = false;   // swap interval 0, no pacing
bool sleepPaced = false; // the driver refused vsync: swapBuffers sleeps to the refresh rate
PresentPace pace;

[[noreturn]] void failDisplay(const std::string& what) {
    const std::string reason = what + ": " + SDL_GetError();
    // Closes a window already made, so that it cannot cover the error dialog.
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    failStartup(reason);
}

// Only keys and the close request are queued: the show takes one message per frame, so mouse
// moves and window notices queued ahead of Escape would hold it back by their number.
int keepShowEvents(void*, SDL_Event* event) {
    switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_QUIT: return 1;
    case SDL_WINDOWEVENT: return event->window.event == SDL_WINDOWEVENT_CLOSE ? 1 : 0;
    default: return 0;
    }
}

// SDL falls back to drivers that show nothing (an offscreen buffer of 1024x768, or none)
// when no display server answers; the show would then run unseen, with no window to end it
// from. Such drivers (evdev is the dummy one with evdev input) are refused even when asked
// for by name: the show is for a viewer, and demo-capture records it without a display.
bool showsNothing(const char* driver) {
    if (driver == nullptr) return true;
    for (const char* name : {"offscreen", "dummy", "evdev"})
        if (SDL_strcasecmp(driver, name) == 0) return true;
    return false;
}

// The X server's display connection behind the window; null on another video driver.
void* x11Display(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
}

}  // namespace

void requestUncappedPresents() { uncapped = true; }

void requestWindowedDisplay(int width, int height) {
    windowed = true;
    windowedWidth = width;
    windowedHeight = height;
}

void createDisplay() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) failDisplay("cannot initialise video");
    const char* driver = SDL_GetCurrentVideoDriver();
    if (showsNothing(driver)) {
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        const std::string reason =
            asked != nullptr && driver != nullptr && SDL_strcasecmp(asked, driver) == 0
                ? std::string("SDL video driver ") + driver + " shows nothing"
                : "no X server or Wayland compositor answered";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        failStartup("cannot open the display: " + reason);
    }
    const bool x11 = std::strcmp(driver, "x11") == 0;
    if (x11) catchX11Errors();

    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) failDisplay("cannot read the desktop size");
    setDesktopRect({0, 0, mode.w, mode.h});
    SDL_SetEventFilter(keepShowEvents, nullptr);

    // The pixel format of the show: RGBA type, 24 colour bits, double buffered, no depth,
    // no stencil, no accumulation buffer. SDL would ask for a 16-bit depth buffer unless told.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    // A request the X server refuses while the window and its GL context are made (a GL
    // context it cannot create, say) is reported as the step's failure.
    if (x11) collectRefusedRequests();
    // Created at the desktop size: a desktop-fullscreen window created smaller can keep a
    // small GL buffer on some X servers. Desktop fullscreen never changes the screen mode.
    if (windowed) {
        displayDevice.window = SDL_CreateWindow("SOLTAREK ASKETRO", SDL_WINDOWPOS_CENTERED,
                                                SDL_WINDOWPOS_CENTERED, windowedWidth,
                                                windowedHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    } else {
        const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                             SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN;
        displayDevice.window = SDL_CreateWindow("", 0, 0, mode.w, mode.h, flags);
    }
    if (displayDevice.window == nullptr) failDisplay("cannot create the window");

    displayDevice.context = SDL_GL_CreateContext(displayDevice.window);
    if (displayDevice.context == nullptr) failDisplay("cannot create the GL context");
    if (SDL_GL_MakeCurrent(displayDevice.window, displayDevice.context) != 0)
        failDisplay("cannot make the GL context current");
    if (x11) {
        const std::string refused = takeRefusedRequest(x11Display(displayDevice.window));
        if (!refused.empty()) {
            SDL_SetError("%s", refused.c_str());
            failDisplay("cannot create the GL context");
        }
    }

    // One present per refresh; where the driver cannot wait for it (Xvfb refuses any swap
    // interval), sleep to the display mode's refresh rate instead. Uncapped: no limit (a
    // refusal of that is harmless).
    if (uncapped) {
        SDL_GL_SetSwapInterval(0);
    } else if (SDL_GL_SetSwapInterval(1) != 0) {
        SDL_DisplayMode current{};
        const int index = SDL_GetWindowDisplayIndex(displayDevice.window);
        const int hz = SDL_GetCurrentDisplayMode(index < 0 ? 0 : index, &current) == 0 ? current.refresh_rate : 0;
        pace = presentPaceFor(hz);
        sleepPaced = true;
    }
    if (windowed) {
        int drawableWidth = 0, drawableHeight = 0;
        SDL_GL_GetDrawableSize(displayDevice.window, &drawableWidth, &drawableHeight);
        setDesktopRect({0, 0, drawableWidth, drawableHeight});
    } else {
        SDL_ShowCursor(SDL_DISABLE);
    }
    // Keys arrive as key events only; text input events would only take frames' message slots.
    SDL_StopTextInput();
    displayCreated = true;
}

DisplayDevice* displayDeviceContext() { return displayCreated ? &displayDevice : nullptr; }

void swapBuffers(DisplayDevice* device) {
    if (device == nullptr || device->window == nullptr) return;
    if (sleepPaced) {
        const uint64_t waitUs = presentWaitUs(pace, monotonicUs());
        if (waitUs > 0) std::this_thread::sleep_for(std::chrono::microseconds(waitUs));
    }
    SDL_GL_SwapWindow(device->window);
}
