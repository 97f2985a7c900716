#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/desktop_display.h"
#include "platform/display.h"
#include "platform/present_pace.h"
#include "platform/startup_failure.h"
#include "platform/x11_errors.h"
#include "platform/x11_window.h"

struct DisplayDevice {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};

namespace {

DisplayDevice displayDevice;
bool displayCreated = false;
bool windowed = false;
int windowedWidth = DefaultWindowWidth;    // window coordinates
int windowedHeight = DefaultWindowHeight;  // window coordinates
int displayIndex = 0;    // the monitor asked for, 0 the primary
bool everWindowed = false;  // the window has had a windowed size of its own
bool uncapped = false;   // swap interval 0, no pacing
bool sleepPaced = false; // the driver refused vsync: swapBuffers sleeps to the refresh rate
PresentPace pace;
MonitorPlacement placement;  // full screen on another monitor, asked for once the window is there

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

// Starts SDL's video. Empty, or why no display that shows a window answered (the subsystem
// is then not started).
std::string startVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return std::string("cannot initialise video: ") + SDL_GetError();
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!showsNothing(driver)) return {};
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const std::string reason = asked != nullptr && driver != nullptr && SDL_strcasecmp(asked, driver) == 0
                                   ? std::string("SDL video driver ") + driver + " shows nothing"
                                   : "no X server or Wayland compositor answered";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return "cannot open the display: " + reason;
}

// The drawable's size in pixels as the desktop rectangle.
DesktopRect drawableRect(SDL_Window* window) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    return {0, 0, width, height};
}

bool isFullScreen(SDL_Window* window) {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

// The X server's handles of the window; false on another video driver.
bool x11Handles(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return window != nullptr && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

// The X server's display connection behind the window; null on another video driver.
void* x11Display(SDL_Window* window) {
    SDL_SysWMinfo info;
    return x11Handles(window, info) ? info.info.x11.display : nullptr;
}

}  // namespace

void requestUncappedPresents() { uncapped = true; }

void requestWindowedDisplay(int width, int height) {
    windowed = true;
    windowedWidth = width;
    windowedHeight = height;
}

void requestDisplay(int index) { displayIndex = index; }

bool listDisplays(std::vector<DisplayInfo>& displays, std::string& error) {
    error = startVideo();
    if (!error.empty()) return false;
    displays.clear();
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(i, &bounds) != 0) {
            error = std::string("cannot read the bounds of display ") + std::to_string(i) + ": " + SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return false;
        }
        const char* name = SDL_GetDisplayName(i);
        displays.push_back({i, name != nullptr ? name : "",
                            {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h}});
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (count < 1) error = std::string("the video driver reports no display: ") + SDL_GetError();
    return count >= 1;
}

void createDisplay() {
    const std::string noDisplay = startVideo();
    if (!noDisplay.empty()) failStartup(noDisplay);
    const bool x11 = std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0;
    if (x11) catchX11Errors();

    // The monitor's place and size on the desktop, in window coordinates.
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(displayIndex, &bounds) != 0) failDisplay("cannot read the display's bounds");
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
    // Created at the monitor's size: a desktop-fullscreen window created smaller can keep a
    // small GL buffer on some X servers. Desktop fullscreen never changes the screen mode.
    // The position names the monitor by its index: SDL takes the monitor's place from it.
    // A high-DPI drawable has the display's own pixels: on a display scaled by 2 it is twice the
    // window's size, and the show is drawn at that size instead of being scaled up.
    const int x = int(SDL_WINDOWPOS_CENTERED_DISPLAY(displayIndex));
    const Uint32 common = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (windowed) {
        displayDevice.window = SDL_CreateWindow("SOLTAREK ASKETRO", x, x, windowedWidth, windowedHeight,
                                                common | SDL_WINDOW_RESIZABLE);
        everWindowed = true;
    } else {
        // On another monitor than the primary, the window is made full screen once it stands
        // on that monitor: a window manager may put a window that asks for full screen at
        // its creation on its own choice of monitor before it has looked at the position.
        // On X that is once the window manager has placed it (completeFullScreen); a
        // Wayland compositor is told the output itself.
        const bool later = displayIndex != 0;
        const Uint32 flags = common | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                             (later ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
        displayDevice.window = SDL_CreateWindow("", bounds.x, bounds.y, bounds.w, bounds.h, flags);
        if (later && x11)
            placement = {.waiting = true, .monitor = {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h}};
        else if (later && displayDevice.window != nullptr)
            SDL_SetWindowFullscreen(displayDevice.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
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
    setDesktopRect(drawableRect(displayDevice.window));
    if (!windowed) SDL_ShowCursor(SDL_DISABLE);
    // Keys arrive as key events only; text input events would only take frames' message slots.
    SDL_StopTextInput();
    displayCreated = true;
}

void toggleFullScreen() {
    SDL_Window* window = displayCreated ? displayDevice.window : nullptr;
    if (window == nullptr) return;
    placement.waiting = false;  // whether it is full screen is the viewer's choice from now on
    if (isFullScreen(window)) {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowAlwaysOnTop(window, SDL_FALSE);
        SDL_SetWindowBordered(window, SDL_TRUE);
        SDL_SetWindowResizable(window, SDL_TRUE);
        // A window made full screen keeps its monitor's size as its windowed one: the first
        // time, it takes the windowed size, centred on the monitor and within three quarters
        // of it (a window, with room for its frame, not the monitor's size again).
        if (!everWindowed) {
            const int index = std::max(SDL_GetWindowDisplayIndex(window), 0);
            SDL_Rect usable{};
            int width = windowedWidth, height = windowedHeight;
            if (SDL_GetDisplayUsableBounds(index, &usable) == 0)
                fitWindowSize(width, height, usable.w * 3 / 4, usable.h * 3 / 4);
            SDL_SetWindowSize(window, width, height);
            SDL_SetWindowPosition(window, int(SDL_WINDOWPOS_CENTERED_DISPLAY(index)),
                                  int(SDL_WINDOWPOS_CENTERED_DISPLAY(index)));
            everWindowed = true;
        }
        SDL_ShowCursor(SDL_ENABLE);
    } else {
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowAlwaysOnTop(window, SDL_TRUE);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_ShowCursor(SDL_DISABLE);
    }
}

void completeFullScreen() {
    if (!displayCreated || !placement.waiting) return;
    SDL_Window* window = displayDevice.window;
    SDL_SysWMinfo info;
    int x = 0, y = 0, width = 0, height = 0;
    // Where the X server cannot say, full screen is asked for when the bound is reached.
    if (!x11Handles(window, info) ||
        !x11WindowRect(info.info.x11.display, info.info.x11.window, x, y, width, height))
        x = y = width = height = -1;
    if (fullScreenDue(placement, {x, y, x + width, y + height}, monotonicUs()))
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

bool followDrawableSize() {
    if (!displayCreated) return false;
    const DesktopRect now = drawableRect(displayDevice.window);
    const DesktopRect last = desktopRect();
    // A minimised window's drawable may be empty: the show keeps its last size until it is back.
    if (now.right <= 0 || now.bottom <= 0) return false;
    if (now.right == last.right && now.bottom == last.bottom) return false;
    setDesktopRect(now);
    return true;
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
