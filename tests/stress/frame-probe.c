/* Preloaded into the demo by stress.sh: records when frames are presented, without touching
   the program. Writes to the file named by FRAME_PROBE_OUT (ms since the probe was loaded,
   which is at process start):
     first_frame_ms N          at the first buffer swap
     first_audio_ms N          when the sound output first asks for samples
     frames N / last_frame_ms N / longest_frame_ms N / exit_ms N
                               when the process exits normally (exit_ms: at the end of the
                               exit-time routines, which run before this library's)
     audio_at_last_frame_ms N  how much audio the program's callbacks had handed to the sound
                               output when the last frame was presented (ms of audio, not
                               wall time). The show's clock follows the music, and a loaded
                               disk output runs slower than real time, so the show's end is
                               judged against this too. Silence the output writes on its own
                               while paused is not counted: it is not the program's music. */
#define _GNU_SOURCE
#include <SDL2/SDL_audio.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double startMs;     /* monotonic ms when the probe was loaded */
static double lastMs;      /* ms since start of the last swap; 0: none yet */
static double longestMs;   /* longest time between two swaps, ms */
static long frames;
static long takenUs;       /* audio handed over by the program's callbacks, µs (atomic) */
static long takenAtLastUs; /* takenUs when the last frame was presented */

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

__attribute__((constructor)) static void probeStart(void) {
    startMs = nowMs();
}

__attribute__((destructor)) static void probeEnd(void) {
    note("frames", (double)frames);
    note("last_frame_ms", lastMs);
    note("longest_frame_ms", longestMs);
    note("exit_ms", nowMs() - startMs);
    note("audio_at_last_frame_ms", takenAtLastUs / 1e3);
}

void SDL_GL_SwapWindow(void *window) {
    static void (*realSwap)(void *);
    if (!realSwap) *(void **)&realSwap = dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    realSwap(window);
    const double at = nowMs() - startMs;
    if (frames == 0) note("first_frame_ms", at);
    else if (at - lastMs > longestMs) longestMs = at - lastMs;
    lastMs = at;
    takenAtLastUs = __atomic_load_n(&takenUs, __ATOMIC_ACQUIRE);
    ++frames;
}

/* Each opened output gets a small record with the program's own callback; the trampoline
   notes the first call of any output, hands the buffer on and counts what it took. */
struct Forward {
    SDL_AudioCallback callback;
    void *userdata;
    double bytesPerMs;  /* of the format the program asked for */
};

static void forwardAudio(void *userdata, Uint8 *stream, int len) {
    static int heard;
    const struct Forward *forward = userdata;
    if (!__atomic_exchange_n(&heard, 1, __ATOMIC_ACQ_REL)) note("first_audio_ms", nowMs() - startMs);
    forward->callback(forward->userdata, stream, len);
    __atomic_add_fetch(&takenUs, (long)(len * 1e3 / forward->bytesPerMs), __ATOMIC_RELEASE);
}

SDL_AudioDeviceID SDL_OpenAudioDevice(const char *device, int iscapture, const SDL_AudioSpec *desired,
                                      SDL_AudioSpec *obtained, int allowed_changes) {
    static SDL_AudioDeviceID (*realOpen)(const char *, int, const SDL_AudioSpec *, SDL_AudioSpec *, int);
    if (!realOpen) *(void **)&realOpen = dlsym(RTLD_NEXT, "SDL_OpenAudioDevice");
    struct Forward *forward = desired && desired->callback && desired->freq > 0 && desired->channels > 0
                                  ? malloc(sizeof *forward) : NULL;
    if (!forward) return realOpen(device, iscapture, desired, obtained, allowed_changes);
    /* One record per open, kept for the life of the process: a reopened output may still be
       calling the old one while the new one starts. */
    forward->callback = desired->callback;
    forward->userdata = desired->userdata;
    forward->bytesPerMs = desired->freq * desired->channels * (SDL_AUDIO_BITSIZE(desired->format) / 8) / 1000.0;
    SDL_AudioSpec wrapped = *desired;
    wrapped.callback = forwardAudio;
    wrapped.userdata = forward;
    return realOpen(device, iscapture, &wrapped, obtained, allowed_changes);
}
