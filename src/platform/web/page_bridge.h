#pragma once
#include <cstdint>

// What the browser platform's files share with each other and with the page's script.

// Makes now the start of the run's clock (monotonicMs() == 0): the driver calls it first
// thing in main, which the page calls when the viewer starts the show.
void startRunClock();

// Starts delivering the show's keys (platform/messages.h) from the page to peekMessage().
void listenForKeys();

// Called by the page (exported as show_request_close) when the viewer leaves the show by
// other means than a key the show sees, such as leaving full screen: acts like a window
// close request.
extern "C" void show_request_close();
