#pragma once
#include <string>
#include <vector>

#include "platform/display.h"

// The desktop player's choice of monitor (desktop only: the page has one canvas).

// One monitor as the video driver reports it.
struct DisplayInfo {
    int index = 0;       // 0 the primary
    std::string name;    // the driver's name for it (an X output's, a Wayland output's)
    DesktopRect bounds;  // on the desktop, in window coordinates (logical pixels)
};

// The monitors, primary first. False with a one-line reason when no display server that
// shows a window answers.
bool listDisplays(std::vector<DisplayInfo>& displays, std::string& error);

// Asks createDisplay for the monitor `index` (as listDisplays numbers them) instead of the
// primary.
void requestDisplay(int index);

// A window size (window coordinates) that fits on a monitor of boundsWidth x boundsHeight:
// width x height when it fits, else scaled down with its aspect kept (at least 1 x 1).
void fitWindowSize(int& width, int& height, int boundsWidth, int boundsHeight);
