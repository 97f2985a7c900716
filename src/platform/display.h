#pragma once
#include <cstdint>

// The display surface of the run: the desktop-covering window of `demo`, or the offscreen
// framebuffer of the tools and tests. Only this layer knows SDL and EGL.

// Rectangle of the desktop in pixels (left, top inclusive; right, bottom exclusive), as the
// show reads it for the closing scene's viewport. For an offscreen surface: its size.
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

// Asks createDisplay for a normal, fixed-size window of width x height pixels instead: the
// cursor stays visible and the desktop rectangle becomes the window's drawable size.
void requestWindowedDisplay(int width, int height);

// Asks createDisplay for presents as fast as the frames come (swap interval 0: the
// original's uncapped loop) instead of one per refresh of the display.
void requestUncappedPresents();

// Creates the borderless, always-on-top window over the whole desktop with a current GL
// compatibility context (double buffered, 24-bit colour, no depth buffer) and hides the
// cursor. Presents wait for the display's refresh (swap interval 1); where the driver
// refuses that, swapBuffers sleeps to the display mode's refresh rate (60 Hz when unknown). On failure prints "Error: <reason>" to standard output and exits 1;
// so does a video driver that shows nothing to a viewer (SDL's offscreen and dummy drivers,
// which SDL falls back to when there is no display).
void createDisplay();

// The device that swapBuffers presents; null before createDisplay().
DisplayDevice* displayDeviceContext();

// Presents the back buffer of the device (no-op for a null device).
void swapBuffers(DisplayDevice* device);
