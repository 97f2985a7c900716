#pragma once
#include "platform/messages.h"

// Acts on one message: Escape quits; Enter and Space act on every second message counted
// (a press gives key-down and key-up), Enter skipping a scene and Space printing the clock
// value; a close request from the window manager quits like Escape. Alt+Enter switches
// between full screen and a window on its key-down, and neither skips nor counts. The transport keys act
// on each key-down (a held key repeats): P pauses and resumes, Left and Right seek 5 s, Home
// to the start, 0 to 9 to the start of that scene, comma and period step one show frame, L
// loops the current scene (app/transport.h). They leave the parity counter alone.
void handleMessage(const MessageRecord& record);

// End-of-frame input step: takes at most one pending message and acts on it.
void pumpMessages();

// Start-up value of the key-press parity counter.
void resetInput();
