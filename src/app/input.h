#pragma once
#include "platform/messages.h"

// Acts on one message: Escape quits; Enter and Space act on every second message counted
// (a press gives key-down and key-up), Enter skipping a scene and Space printing the clock
// value; a close request from the window manager quits like Escape.
void handleMessage(const MessageRecord& record);

// End-of-frame input step: takes at most one pending message and acts on it.
void pumpMessages();

// Start-up value of the key-press parity counter.
void resetInput();
