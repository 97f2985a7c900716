#pragma once
#include <string>

// Xlib's own reactions to trouble with the X server print several lines on stderr and call
// exit(1), whose exit-time routines may talk to the same display again. These handlers
// keep the show's one-line form instead. Used by the SDL display only, when its video
// driver is x11.

// Installs the handlers through the Xlib already loaded into the process (by SDL's X11
// driver); does nothing when there is none.
// - A lost connection: "Error: lost the connection to the display", exit 1 at once.
// - A refused request (an X error) while the display is being set up is kept for
//   takeRefusedRequest; at any other time it prints "Error: the display refused a request:
//   <what>" and ends the process with exit 1 at once.
void catchX11Errors();

// From now on refused requests are kept rather than ending the process.
void collectRefusedRequests();

// Waits until the X server has answered every request sent on `display` (an Xlib Display*
// from SDL), stops keeping refused requests and returns the first one kept, as one line;
// empty when there was none.
std::string takeRefusedRequest(void* display);
