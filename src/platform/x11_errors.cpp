#include "platform/x11_errors.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

namespace {

using ErrorHandler = int (*)(Display*, XErrorEvent*);
using IOErrorHandler = int (*)(Display*);

// Xlib is loaded by SDL's X11 driver and by the GL library, not linked by us: its
// functions are taken from the library already in the process.
struct Xlib {
    ErrorHandler (*setErrorHandler)(ErrorHandler) = nullptr;
    IOErrorHandler (*setIOErrorHandler)(IOErrorHandler) = nullptr;
    int (*getErrorText)(Display*, int, char*, int) = nullptr;
    int (*sync)(Display*, Bool) = nullptr;
};
Xlib xlib;

bool collecting = false;    // set up in progress: keep refused requests
char refused[256] = "";     // the first refused request kept, "" for none

void describe(Display* display, const XErrorEvent* event, char* text, size_t size) {
    char name[160] = "";
    if (xlib.getErrorText != nullptr) xlib.getErrorText(display, event->error_code, name, sizeof name);
    std::snprintf(text, size, "the display refused a request (%s, request %u.%u)",
                  name[0] != '\0' ? name : "unknown error", unsigned(event->request_code),
                  unsigned(event->minor_code));
}

int onRefused(Display* display, XErrorEvent* event) {
    if (collecting) {
        if (refused[0] == '\0') describe(display, event, refused, sizeof refused);
        return 0;
    }
    char text[256];
    describe(display, event, text, sizeof text);
    std::printf("Error: %s\n", text);
    std::fflush(stdout);
    _exit(1);  // exit-time routines would talk to the display again
}

int onLost(Display*) {
    std::printf("Error: lost the connection to the display\n");
    std::fflush(stdout);
    _exit(1);
}

template <typename F>
void take(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library, name));
}

}  // namespace

void catchX11Errors() {
    void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr) return;
    take(library, "XSetErrorHandler", xlib.setErrorHandler);
    take(library, "XSetIOErrorHandler", xlib.setIOErrorHandler);
    take(library, "XGetErrorText", xlib.getErrorText);
    take(library, "XSync", xlib.sync);
    dlclose(library);  // only drops the reference taken here; SDL keeps the library loaded
    if (xlib.setIOErrorHandler != nullptr) xlib.setIOErrorHandler(onLost);
    if (xlib.setErrorHandler != nullptr) xlib.setErrorHandler(onRefused);
}

void collectRefusedRequests() {
    refused[0] = '\0';
    collecting = true;
}

std::string takeRefusedRequest(void* display) {
    if (display != nullptr && xlib.sync != nullptr) xlib.sync(static_cast<Display*>(display), False);
    collecting = false;
    return refused;
}
