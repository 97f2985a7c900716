#include "run_stop.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "output_files.h"

namespace {

std::atomic<bool> stop{false};
std::atomic<pid_t> encoder{0};
std::atomic<pid_t> parts[MaxPartProcesses];
pthread_t mainThread;
bool lineOpen = false;  // stderr is a terminal whose progress line is still open
char graceOver[96];     // the line for a run that did not stop in time

void say(const char* text) {
    if (lineOpen) (void)!write(STDERR_FILENO, "\n", 1);
    (void)!write(STDERR_FILENO, text, std::strlen(text));
}

// Only async-signal-safe calls from here on.
[[noreturn]] void endAtOnce(const char* why) {
    const pid_t child = encoder;
    if (child > 0) kill(child, SIGKILL);
    for (const std::atomic<pid_t>& part : parts)
        if (part > 0) kill(part, SIGKILL);
    removeTemporaries();
    say(why);
    _exit(1);
}

extern "C" void onStopSignal(int) {
    if (stop.exchange(true)) endAtOnce("demo-capture: interrupted again: ended at once\n");
    alarm(StopGraceSeconds);
    for (const std::atomic<pid_t>& part : parts)
        if (part > 0) kill(part, SIGTERM);
    // The signal may land on any thread (image decoding, the GL driver's workers); the main
    // thread gets a signal too, so that a write it is blocked in returns.
    if (!pthread_equal(pthread_self(), mainThread)) pthread_kill(mainThread, SIGUSR1);
}

extern "C" void onWake(int) {}

extern "C" void onGraceOver(int) { endAtOnce(graceOver); }

}  // namespace

void installStopHandlers() {
    std::snprintf(graceOver, sizeof graceOver,
                  "demo-capture: interrupted, and the run did not stop within %u s: ended at once\n",
                  StopGraceSeconds);
    mainThread = pthread_self();
    lineOpen = isatty(STDERR_FILENO) != 0;
    signal(SIGPIPE, SIG_IGN);
    // No SA_RESTART: the signal must break a write that a stalled ffmpeg keeps blocked.
    struct sigaction action{};
    sigemptyset(&action.sa_mask);
    action.sa_handler = onStopSignal;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
    action.sa_handler = onWake;
    sigaction(SIGUSR1, &action, nullptr);
    action.sa_handler = onGraceOver;
    sigaction(SIGALRM, &action, nullptr);
}

const std::atomic<bool>& stopRequested() { return stop; }

void setEncoderProcess(pid_t pid) { encoder = pid; }

void setPartProcess(size_t slot, pid_t pid) { parts[slot] = pid; }
