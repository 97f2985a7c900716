#pragma once

// Where an X window really stands. SDL's X11 driver keeps the position it asked for until a
// ConfigureNotify says otherwise, and a window manager that puts the window in a frame and
// moves the frame may never send one (weston's Xwayland window manager does not), so SDL's
// own position can be the one asked for while the window is elsewhere. Used by the SDL
// display only, when its video driver is x11.

// The window's top-left corner on the root window and its size (X pixels, the window
// coordinates of SDL's X11 driver). False when the X server cannot say (no Xlib in the
// process, a window gone).
bool x11WindowRect(void* display, unsigned long window, int& x, int& y, int& width, int& height);
