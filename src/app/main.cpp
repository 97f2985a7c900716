// demo: the show in a window over the whole desktop, with its soundtrack.
#include "app/frame.h"
#include "app/input.h"
#include "app/music.h"
#include "app/shell.h"
#include "platform/display.h"

int main() {
    startMusic();
    createDisplay();
    prepareShow();
    while (!isQuitRequested()) {
        drawFrame(clockMs());
        pumpMessages();
        swapBuffers(displayDeviceContext());
    }
    return 0;
}
