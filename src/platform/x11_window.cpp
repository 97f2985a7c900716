#include "platform/x11_window.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

namespace {

// Xlib is loaded by SDL's X11 driver, not linked by us: its functions are taken from the
// library already in the process.
struct Xlib {
    Status (*getAttributes)(Display*, Window, XWindowAttributes*) = nullptr;
    Bool (*translate)(Display*, Window, Window, int, int, int*, int*, Window*) = nullptr;
    bool looked = false;
};
Xlib xlib;

}  // namespace

bool x11WindowRect(void* display, unsigned long window, int& x, int& y, int& width, int& height) {
    if (!xlib.looked) {
        xlib.looked = true;
        if (void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD)) {
            xlib.getAttributes = reinterpret_cast<decltype(xlib.getAttributes)>(dlsym(library, "XGetWindowAttributes"));
            xlib.translate = reinterpret_cast<decltype(xlib.translate)>(dlsym(library, "XTranslateCoordinates"));
            dlclose(library);  // only drops the reference taken here
        }
    }
    if (display == nullptr || xlib.getAttributes == nullptr || xlib.translate == nullptr) return false;
    Display* d = static_cast<Display*>(display);
    XWindowAttributes attributes{};
    if (xlib.getAttributes(d, window, &attributes) == 0) return false;
    Window child = 0;
    if (!xlib.translate(d, window, attributes.root, 0, 0, &x, &y, &child)) return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}
