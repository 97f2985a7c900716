#pragma once
#include <cstdint>
#include <optional>
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

// A full-screen show on another monitor than the primary, on X. A window manager may make a
// window full screen on its own choice of monitor when asked before it has placed the window
// where the window asked to be (weston's Xwayland window manager does, now and then, and
// never moves a mapped window afterwards). So the window is made at its monitor's place and
// size, and full screen is asked for once it has stood there a while, or after a bound.
struct MonitorPlacement {
    static constexpr uint64_t SteadyUs = 200'000;   // the window stood at its monitor this long
    static constexpr uint64_t AskByUs = 1'000'000;  // asked anyway this long after the first look
    bool waiting = false;  // full screen is still to be asked for
    DesktopRect monitor;   // the monitor, window coordinates
    std::optional<uint64_t> firstLookUs{};    // when fullScreenDue was first asked, µs since process start
    std::optional<uint64_t> standingSinceUs{};  // since when the window has stood at the monitor
                                              // (empty: not there at the last look)
};
// Whether to ask for full screen now, given where the window stands (`window`, window
// coordinates); once true, waiting ends.
bool fullScreenDue(MonitorPlacement& placement, const DesktopRect& window, uint64_t nowUs);
