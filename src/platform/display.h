#pragma once
#include <cstdint>

// The display surface of the run: the desktop-covering window of `demo`, or the offscreen
// framebuffer of the tools and tests. Only this layer knows SDL and EGL.

// Rectangle of the surface the show draws on in pixels (left, top inclusive; right, bottom
// exclusive; left and top 0), as the show reads it for the closing scene's viewport: the
// window's drawable (device pixels, twice the window's size on a display scaled by 2), or
// the offscreen surface.
struct DesktopRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

DesktopRect desktopRect();
void setDesktopRect(const DesktopRect& rect);

// Opaque handle of the surface that SwapBuffers presents (the window's GL drawable).
struct DisplayDevice;

// The size of a normal window when none was asked for (window coordinates, the display's
// logical pixels).
inline constexpr int DefaultWindowWidth = 1280;
inline constexpr int DefaultWindowHeight = 720;

// Asks createDisplay for a normal, resizable window of width x height (window coordinates)
// instead: the cursor stays visible.
void requestWindowedDisplay(int width, int height);

// Asks createDisplay for presents as fast as the frames come (swap interval 0: the
// original's uncapped loop) instead of one per refresh of the display.
void requestUncappedPresents();

// Creates the borderless, always-on-top window over the whole monitor (the primary, or the
// one asked for with requestDisplay) with a current GL
// compatibility context (double buffered, 24-bit colour, no depth buffer) and hides the
// cursor. Presents wait for the display's refresh (swap interval 1); where the driver
// refuses that, swapBuffers sleeps to the display mode's refresh rate (60 Hz when unknown). On failure prints "Error: <reason>" to standard output and exits 1;
// so does a video driver that shows nothing to a viewer (SDL's offscreen and dummy drivers,
// which SDL falls back to when there is no display). The drawable has the display's own
// pixels (a high-DPI drawable on a scaled display), and the desktop rectangle is its size.
void createDisplay();

// Switches the window between full screen (borderless, on top, no cursor) and a normal
// window (the windowed size, centred on its monitor, cursor visible). No-op without one.
void toggleFullScreen();

// A full-screen show on another monitor than the primary, on X: asks for full screen once
// the window manager has placed the window on that monitor (or after a bound). No-op
// otherwise; called every frame.
void completeFullScreen();

// Follows the drawable's size (a resized window, a switch to or from full screen, a move to
// a monitor of another scale): the desktop rectangle becomes the drawable's size. True when
// it changed since createDisplay or the last call.
bool followDrawableSize();

// The device that swapBuffers presents; null before createDisplay().
DisplayDevice* displayDeviceContext();

// Presents the back buffer of the device (no-op for a null device).
void swapBuffers(DisplayDevice* device);
