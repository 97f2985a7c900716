#pragma once
#include "platform/messages.h"

// Acts on one message: 27 quits; 13 and 32 act on every second message counted (a press
// gives key-down and key-up), 13 skipping a scene and 32 printing the clock value; a
// close request from the window manager quits like Escape.
void handleMessage(const MessageRecord& record);

// End-of-frame input step: takes at most one pending message and acts on it.
void pumpMessages();

// Start-up value of the key-press parity counter.
void resetInput();
