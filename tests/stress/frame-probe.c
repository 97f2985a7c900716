/* Preloaded into the demo by stress.sh: records when frames are presented, without touching
   the program. Writes to the file named by FRAME_PROBE_OUT (ms since the probe was loaded,
   which is at process start):
     first_frame_ms N          at the first buffer swap
     frames N / last_frame_ms N / longest_frame_ms N / exit_ms N
                               when the process exits normally (exit_ms: at the end of the
                               exit-time routines, which run before this library's) */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double startMs;     /* monotonic ms when the probe was loaded */
static double lastMs;      /* ms since start of the last swap; 0: none yet */
static double longestMs;   /* longest time between two swaps, ms */
static long frames;

static double nowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static void note(const char *line, double value) {
    const char *path = getenv("FRAME_PROBE_OUT");
    FILE *out = path ? fopen(path, "a") : NULL;
    if (!out) return;
    fprintf(out, "%s %.0f\n", line, value);
    fclose(out);
}

__attribute__((constructor)) static void probeStart(void) { startMs = nowMs(); }

__attribute__((destructor)) static void probeEnd(void) {
    note("frames", (double)frames);
    note("last_frame_ms", lastMs);
    note("longest_frame_ms", longestMs);
    note("exit_ms", nowMs() - startMs);
}

void SDL_GL_SwapWindow(void *window) {
    static void (*realSwap)(void *);
    if (!realSwap) *(void **)&realSwap = dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    realSwap(window);
    const double at = nowMs() - startMs;
    if (frames == 0) note("first_frame_ms", at);
    else if (at - lastMs > longestMs) longestMs = at - lastMs;
    lastMs = at;
    ++frames;
}
