#pragma once
#include <cstdint>

// One message taken off the display's queue. wParam carries the key code of key-down and
// key-up messages alike: 27 Escape, 13 Enter (keypad Enter too), 32 Space; 0 for others.
struct MessageRecord {
    uint32_t wParam = 0;
    bool closeRequested = false;  // the window manager asked the window to close
};

// Takes at most one pending message off the queue. Returns false when none was pending.
bool peekMessage(MessageRecord& record);
