#include <algorithm>
#include <cstdint>

#include "platform/desktop_display.h"
#include "platform/display.h"

namespace {
DesktopRect currentRect;
}

DesktopRect desktopRect() { return currentRect; }

void setDesktopRect(const DesktopRect& rect) { currentRect = rect; }

void fitWindowSize(int& width, int& height, int boundsWidth, int boundsHeight) {
    if (width <= boundsWidth && height <= boundsHeight) return;
    // The smaller of the two scales, in whole pixels (64-bit: 16384 x 16384 sides).
    if (int64_t(boundsWidth) * height <= int64_t(boundsHeight) * width) {
        height = int(int64_t(height) * boundsWidth / width);
        width = boundsWidth;
    } else {
        width = int(int64_t(width) * boundsHeight / height);
        height = boundsHeight;
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
}

bool fullScreenDue(MonitorPlacement& placement, const DesktopRect& window, uint64_t nowUs) {
    if (!placement.waiting) return false;
    const DesktopRect& m = placement.monitor;
    const bool there = window.left == m.left && window.top == m.top && window.right == m.right &&
                       window.bottom == m.bottom;
    if (!placement.firstLookUs) placement.firstLookUs = nowUs;
    if (!there) placement.standingSinceUs.reset();
    else if (!placement.standingSinceUs) placement.standingSinceUs = nowUs;
    const bool steady = there && nowUs - *placement.standingSinceUs >= MonitorPlacement::SteadyUs;
    if (!steady && nowUs - *placement.firstLookUs < MonitorPlacement::AskByUs) return false;
    placement.waiting = false;
    return true;
}
