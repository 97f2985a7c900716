// Preloaded into demo-capture: a GL driver that never comes back from reading the pixels
// (as one did under a tight address-space limit). Signals are taken and the wait goes on.
// STUCK_MARK names a file written once the wait has begun.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

void glReadPixels(int x, int y, int width, int height, unsigned format, unsigned type, void* pixels) {
    (void)x, (void)y, (void)width, (void)height, (void)format, (void)type, (void)pixels;
    const char* mark = getenv("STUCK_MARK");
    if (mark != NULL) close(open(mark, O_WRONLY | O_CREAT, 0644));
    for (;;) pause();
}
