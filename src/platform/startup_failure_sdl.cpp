#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/startup_failure.h"
#include "platform/watchdog.h"

namespace {
bool dialogEnabled = false;

bool dialogWanted() {
    const char* off = std::getenv("SOLTAREK_NO_DIALOG");
    return dialogEnabled && (off == nullptr || *off == '\0');
}

// In the dialog's process: ends its whole process group, which includes the process SDL
// forks to draw the dialog.
extern "C" void endDialogGroup(int) { kill(0, SIGKILL); }

// The dialog's process: a process group of its own that ends when the player does (or asks
// it to), with /dev/null for standard input and output. Exit 0 once the dialog is closed,
// 1 when no dialog could be shown (the reason on standard error).
[[noreturn]] void runDialog(pid_t player, const char* text) {
    if (setpgid(0, 0) != 0) _exit(1);  // never end the player's group by mistake
    struct sigaction end{};
    end.sa_handler = endDialogGroup;
    sigemptyset(&end.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &end, nullptr);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != player) endDialogGroup(SIGTERM);  // the player ended before prctl
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
    }
    // Needs no window and no initialised video; returns an error at once without a display.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "SOLTAREK ASKETRO", text, nullptr) != 0) {
        std::fprintf(stderr, "demo: no error dialog: %s\n", SDL_GetError());
        _exit(1);
    }
    _exit(0);
}

void showDialog(const std::string& message) {
    const std::string text = "The show cannot start.\n\n" + message;
    const pid_t player = getpid();
    const pid_t dialog = fork();
    if (dialog == 0) runDialog(player, text.c_str());
    if (dialog < 0) {
        std::perror("demo: no error dialog");
        return;
    }
    while (waitpid(dialog, nullptr, 0) < 0 && errno == EINTR) {
    }
}
}  // namespace

void enableFailureDialog() { dialogEnabled = true; }

void failStartup(const std::string& message) {
    std::printf("Error: %s\n", message.c_str());
    std::fflush(stdout);
    if (dialogWanted()) {
        // The dialog waits for its reader: the bound of the failed step must not end it.
        watchNothing();
        showDialog(message);
    }
    std::exit(1);
}
