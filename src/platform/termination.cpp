#include "platform/termination.h"

#include <signal.h>
#include <unistd.h>

namespace {

constexpr unsigned GraceSeconds = 3;  // for the loop to end after a request

volatile sig_atomic_t deferred = 0;   // 1 once the loop runs
volatile sig_atomic_t requested = 0;  // the signal of the first request while deferred

[[noreturn]] void endBy(int sig) {
    signal(sig, SIG_DFL);
    raise(sig);
    _exit(128 + sig);  // not reached: the default action ends the process
}

void onRequest(int sig) {
    if (!deferred || requested) endBy(sig);
    requested = sig;
    alarm(GraceSeconds);
}

void onGraceOver(int) { endBy(requested != 0 ? int(requested) : SIGTERM); }

void handle(int sig, void (*handler)(int)) {
    struct sigaction action{};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
}

}  // namespace

void installTerminationHandlers() {
    handle(SIGINT, onRequest);
    handle(SIGTERM, onRequest);
    handle(SIGHUP, onRequest);
    handle(SIGALRM, onGraceOver);
    handle(SIGPIPE, SIG_IGN);
}

void deferTerminationToLoop() { deferred = 1; }

bool terminationRequested() { return requested != 0; }
