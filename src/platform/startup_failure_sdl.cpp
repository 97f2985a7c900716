#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/startup_failure.h"
#include "platform/watchdog.h"

namespace {
bool dialogEnabled = false;

bool dialogWanted() {
    const char* off = std::getenv("SOLTAREK_NO_DIALOG");
    return dialogEnabled && isatty(STDOUT_FILENO) == 0 && (off == nullptr || *off == '\0');
}
}  // namespace

void enableFailureDialog() { dialogEnabled = true; }

void failStartup(const std::string& message) {
    std::printf("Error: %s\n", message.c_str());
    std::fflush(stdout);
    // Needs no window and no initialised video; returns an error at once without a display.
    if (dialogWanted()) {
        // The dialog waits for its reader: the bound of the failed step must not end it.
        watchNothing();
        const std::string text = "The show cannot start.\n\n" + message;
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "SOLTAREK ASKETRO", text.c_str(),
                                     nullptr) != 0)
            std::fprintf(stderr, "demo: no error dialog: %s\n", SDL_GetError());
    }
    std::exit(1);
}
