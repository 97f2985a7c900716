#pragma once
#include <cstdint>

// Key codes of the three keys the show knows.
inline constexpr uint32_t KeyEscape = 27;
inline constexpr uint32_t KeyEnter = 13;  // the keypad's Enter too
inline constexpr uint32_t KeySpace = 32;

// One message taken off the display's queue. wParam carries the key code of key-down and
// key-up messages alike (KeyEscape, KeyEnter, KeySpace); 0 for other keys and messages.
struct MessageRecord {
    uint32_t wParam = 0;
    bool closeRequested = false;  // the window manager asked the window to close
};

// Takes at most one pending message off the queue. Returns false when none was pending.
bool peekMessage(MessageRecord& record);
