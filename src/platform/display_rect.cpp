#include "platform/display.h"

namespace {
DesktopRect currentRect;
}

DesktopRect desktopRect() { return currentRect; }

void setDesktopRect(const DesktopRect& rect) { currentRect = rect; }
