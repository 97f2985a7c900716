#pragma once
#include <cstdint>

// Key codes of the keys the show knows: the show's own three, then the player's transport
// keys (pause, seeks, frame steps, loop), as virtual-key codes.
inline constexpr uint32_t KeyEscape = 27;
inline constexpr uint32_t KeyEnter = 13;  // the keypad's Enter too
inline constexpr uint32_t KeySpace = 32;
inline constexpr uint32_t KeyHome = 0x24;
inline constexpr uint32_t KeyLeft = 0x25;
inline constexpr uint32_t KeyRight = 0x27;
inline constexpr uint32_t KeyDigit0 = 0x30;  // '0' to '9': KeyDigit0 + n
inline constexpr uint32_t KeyL = 0x4C;
inline constexpr uint32_t KeyP = 0x50;
inline constexpr uint32_t KeyComma = 0xBC;
inline constexpr uint32_t KeyPeriod = 0xBE;

// One message taken off the display's queue. wParam carries the key code of key-down and
// key-up messages alike (one of the codes above); 0 for other keys and messages.
struct MessageRecord {
    uint32_t wParam = 0;
    bool closeRequested = false;  // the window manager asked the window to close
    bool keyDown = false;         // a key-down message (a held key repeats it)
    bool alt = false;             // an Alt key was held with the key
    bool repeat = false;          // a key-down repeated by a held key
};

// Takes at most one pending message off the queue. Returns false when none was pending.
bool peekMessage(MessageRecord& record);
