// The server's latency through the PulseAudio client library, which speaks to PulseAudio
// and to PipeWire's PulseAudio service alike (the latter reports no latency for streams of
// other connections: there, nothing is added).
#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/proplist.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <thread>

#include "platform/clock.h"
#include "platform/sound_server.h"

namespace sound {

namespace {

constexpr uint64_t AskEveryUs = 250'000;       // between questions
constexpr uint64_t AskFirstEveryUs = 20'000;   // between the first FirstServerAnswers
constexpr uint64_t AnswerWithinUs = 1'000'000; // a slower answer counts as none
constexpr uint64_t ConnectWithinUs = 2'000'000;
constexpr uint64_t RetryAfterUs = 1'000'000;   // after a failed or dropped connection
constexpr int WakeEveryUs = 10'000;            // the loop's longest sleep

struct Watch {
    ServerLatencyAnswer answer = nullptr;
    pa_mainloop* loop = nullptr;
    pa_context* context = nullptr;  // null: not connected
    uint64_t connectedAtUs = 0;     // when the connection was begun
    uint64_t retryAtUs = 0;         // when to connect again
    bool asking = false;            // a question is out
    uint64_t askedUs = 0;
    uint64_t nextAskUs = 0;
    int used = 0;                   // answers used so far (counted up to FirstServerAnswers)
    bool found = false;             // our stream was in the answer
    double latencyUs = 0;           // its latency, µs
    std::string ownPid;             // this process's id, as the server lists it
};

void drop(Watch& w, uint64_t nowUs) {
    pa_context_disconnect(w.context);
    pa_context_unref(w.context);
    w.context = nullptr;
    w.asking = false;
    w.retryAtUs = nowUs + RetryAfterUs;
}

void onStream(pa_context*, const pa_sink_input_info* info, int last, void* user) {
    Watch& w = *static_cast<Watch*>(user);
    if (last != 0) {  // the list is complete (> 0) or failed (< 0)
        if (last > 0 && w.found && w.asking && w.answer(w.askedUs, monotonicUs(), w.latencyUs))
            w.used = std::min(w.used + 1, FirstServerAnswers);
        w.asking = false;
        return;
    }
    const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
    if (pid == nullptr || w.ownPid != pid) return;
    // One output stream per process; the newest one is the one that plays.
    w.found = true;
    w.latencyUs = double(info->buffer_usec) + double(info->sink_usec);
}

void step(Watch& w, uint64_t nowUs) {
    if (w.context == nullptr) {
        if (nowUs < w.retryAtUs) return;
        w.context = pa_context_new(pa_mainloop_get_api(w.loop), "output latency");
        if (w.context == nullptr ||
            pa_context_connect(w.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            if (w.context != nullptr) pa_context_unref(w.context);
            w.context = nullptr;
            w.retryAtUs = nowUs + RetryAfterUs;
            return;
        }
        w.connectedAtUs = nowUs;
        return;
    }
    const pa_context_state_t state = pa_context_get_state(w.context);
    if (!PA_CONTEXT_IS_GOOD(state)) return drop(w, nowUs);
    if (state != PA_CONTEXT_READY) {
        if (nowUs - w.connectedAtUs > ConnectWithinUs) drop(w, nowUs);
        return;
    }
    if (w.asking) {
        if (nowUs - w.askedUs > AnswerWithinUs) drop(w, nowUs);
        return;
    }
    if (nowUs < w.nextAskUs) return;
    pa_operation* question = pa_context_get_sink_input_info_list(w.context, onStream, &w);
    if (question == nullptr) return drop(w, nowUs);
    pa_operation_unref(question);
    w.asking = true;
    w.found = false;
    w.askedUs = nowUs;
    w.nextAskUs = nowUs + (w.used < FirstServerAnswers ? AskFirstEveryUs : AskEveryUs);
}

void runWatch(Watch* w) {
    for (;;) {
        step(*w, monotonicUs());
        if (pa_mainloop_prepare(w->loop, WakeEveryUs) < 0 || pa_mainloop_poll(w->loop) < 0 ||
            pa_mainloop_dispatch(w->loop) < 0)
            return;  // the loop was told to quit: nothing here does
    }
}

}  // namespace

bool watchServerLatency(ServerLatencyAnswer answer) {
    // Kept for the life of the process, like the output it watches.
    auto* w = new Watch;
    w->answer = answer;
    w->ownPid = std::to_string(getpid());
    w->loop = pa_mainloop_new();
    try {
        if (w->loop != nullptr) {
            std::thread(runWatch, w).detach();
            return true;
        }
    } catch (const std::system_error&) {
        pa_mainloop_free(w->loop);
    }
    delete w;
    return false;
}

}  // namespace sound
