// Our own playback stream on a PulseAudio-protocol server (PulseAudio, or PipeWire's
// PulseAudio service), through libpulse on a threaded main loop of its own. The server
// asks for the music as it needs it, and its own timing of the stream, asked for 20 times a
// second (how far it has read it, and the sink's latency: the device's, Bluetooth's
// included), says which frame is being heard (heard_position.h: StreamClock).
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/heard_position.h"
#include "platform/sound_mixer.h"

namespace sound {

namespace {

constexpr int PieceFrames = 1024;             // frames mixed at a time
constexpr uint32_t TargetLatencyMs = 80;      // the stream's buffer at the server, ms
constexpr uint32_t RequestMs = 20;            // the least the server asks for at a time, ms
constexpr uint64_t ConnectWithinUs = 2'000'000;  // a slower connection or stream counts as none
constexpr uint64_t RetryAfterUs = 1'000'000;  // after a lost or failed connection
constexpr uint64_t CheckEveryUs = 50'000;     // the loop's look at its connection, and
                                              // how often the stream's timing is asked for

// The connection and its stream. Everything but `loop` and `mix` is used under the loop's
// lock: in the loop's callbacks, or by another thread that holds it.
struct PulseOutput {
    Mixer* mix = nullptr;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;  // null: not connected
    pa_stream* stream = nullptr;    // null: none yet
    std::string sink;               // the server's name of the sink; empty: the default
    bool plays = false;             // a playback stream is wanted (not for a listing)
    bool started = false;           // the first play has been
    bool lost = false;              // the connection or stream failed: drop it at the next check
    uint64_t connectedAtUs = 0;     // when the connection was begun, µs since process start
    uint64_t retryAtUs = 0;         // when to connect again, µs since process start
    uint64_t written = 0;           // frames written into the stream
    StreamMarks marks;              // what they were
    StreamClock clock;              // the server's timing of the stream
    bool timingAsked = false;       // a question for the timing is out
    std::vector<int16_t> piece = std::vector<int16_t>(2 * PieceFrames);
};

PulseOutput* pulse = nullptr;

bool ready(pa_stream* stream) { return stream != nullptr && pa_stream_get_state(stream) == PA_STREAM_READY; }

// Writes what the server asks for, a piece at a time.
void writeMusic(PulseOutput& p) {
    if (!p.started || !ready(p.stream)) return;
    const size_t writable = pa_stream_writable_size(p.stream);
    if (writable == size_t(-1)) return;  // the stream failed: the next check drops it
    size_t frames = writable / (2 * sizeof(int16_t));
    while (frames > 0) {
        const size_t count = std::min<size_t>(frames, PieceFrames);
        const MixedPiece piece = mixOutput(*p.mix, p.piece.data(), count);
        if (pa_stream_write(p.stream, p.piece.data(), count * 2 * sizeof(int16_t), nullptr, 0,
                            PA_SEEK_RELATIVE) < 0)
            return;
        const size_t music = piece.held ? 0 : piece.handed;
        if (music > 0) noteStreamWrite(p.marks, p.written, music, piece.segment, piece.framesBefore, true);
        if (music < count)
            noteStreamWrite(p.marks, p.written + music, count - music, piece.segment, 0, false);
        p.written += count;
        frames -= count;
    }
}

void onWritable(pa_stream*, size_t, void* user) { writeMusic(*static_cast<PulseOutput*>(user)); }

// The server's timing has come in: where the stream plays, and the latency beyond the
// stream's buffer, are known once it plays: before that its sink may still be starting (a
// PulseAudio null sink waking up reports the seconds of its idle buffer), and the mixer's
// pace must not count that wait as music missed.
void onTiming(pa_stream* stream, void* user) {
    PulseOutput& p = *static_cast<PulseOutput*>(user);
    const pa_timing_info* timing = pa_stream_get_timing_info(stream);
    if (timing == nullptr || timing->read_index_corrupt || timing->read_index < 0 ||
        timing->playing == 0)
        return;
    // Stamped with the server's wall clock (the same machine's): its age now, on ours.
    const pa_usec_t ageUs = pa_timeval_age(&timing->timestamp);
    const uint64_t nowUs = monotonicUs();
    noteStreamTiming(p.clock, nowUs > ageUs ? nowUs - ageUs : 0,
                     uint64_t(timing->read_index) / (2 * sizeof(int16_t)),
                     double(timing->sink_usec), p.mix->mixRate);
    p.mix->extraLatencyUs.store(double(timing->sink_usec), std::memory_order_relaxed);
    p.mix->latencyKnown.store(true, std::memory_order_release);
}

void onTimingAnswered(pa_stream*, int, void* user) { static_cast<PulseOutput*>(user)->timingAsked = false; }

void onStreamState(pa_stream* stream, void* user) {
    PulseOutput& p = *static_cast<PulseOutput*>(user);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) {
        p.lost = true;
    } else if (state == PA_STREAM_READY) {
        if (const pa_buffer_attr* attr = pa_stream_get_buffer_attr(stream))
            p.mix->deviceFrames.store(int(attr->tlength / (2 * sizeof(int16_t))));
        writeMusic(p);
    }
}

// The stream's buffer at the server: TargetLatencyMs in all, the sink's latency included.
pa_buffer_attr bufferAttr(const pa_sample_spec& spec) {
    const auto bytesOf = [&](uint32_t ms) { return uint32_t(pa_usec_to_bytes(ms * 1000, &spec)); };
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.tlength = bytesOf(TargetLatencyMs);
    attr.prebuf = uint32_t(-1);
    attr.minreq = bytesOf(RequestMs);
    attr.fragsize = uint32_t(-1);
    return attr;
}

// Moved to another sink (the viewer chose a headset): the server keeps the buffer it set up
// for the old sink, which behind a sink of much more latency runs dry again and again. Asked
// again, it sets one up for the new sink.
void onMoved(pa_stream* stream, void*) {
    const pa_buffer_attr attr = bufferAttr(*pa_stream_get_sample_spec(stream));
    if (pa_operation* asked = pa_stream_set_buffer_attr(stream, &attr, nullptr, nullptr))
        pa_operation_unref(asked);
}

void openStream(PulseOutput& p) {
    const pa_sample_spec spec{PA_SAMPLE_S16NE, uint32_t(p.mix->mixRate), 2};
    p.stream = pa_stream_new(p.context, "music", &spec, nullptr);
    if (p.stream == nullptr) {
        p.lost = true;
        return;
    }
    p.written = 0;
    p.marks = StreamMarks{};
    p.clock = StreamClock{};
    p.timingAsked = false;
    pa_stream_set_state_callback(p.stream, onStreamState, &p);
    pa_stream_set_write_callback(p.stream, onWritable, &p);
    pa_stream_set_latency_update_callback(p.stream, onTiming, &p);
    pa_stream_set_moved_callback(p.stream, onMoved, &p);
    const pa_buffer_attr attr = bufferAttr(spec);
    // Corked until the first play, which writes the first music before it uncorks.
    const auto flags = pa_stream_flags_t(
        PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY |
        (p.started ? 0 : PA_STREAM_START_CORKED));
    if (pa_stream_connect_playback(p.stream, p.sink.empty() ? nullptr : p.sink.c_str(), &attr,
                                   flags, nullptr, nullptr) < 0)
        p.lost = true;
}

void onContextState(pa_context* context, void* user) {
    PulseOutput& p = *static_cast<PulseOutput*>(user);
    const pa_context_state_t state = pa_context_get_state(context);
    if (!PA_CONTEXT_IS_GOOD(state)) p.lost = true;
    else if (state == PA_CONTEXT_READY && p.plays && p.stream == nullptr) openStream(p);
}

void connect(PulseOutput& p, uint64_t nowUs) {
    p.lost = false;
    p.connectedAtUs = nowUs;
    p.context = pa_context_new(pa_threaded_mainloop_get_api(p.loop), "soltarek");
    if (p.context == nullptr) {
        p.retryAtUs = nowUs + RetryAfterUs;
        return;
    }
    pa_context_set_state_callback(p.context, onContextState, &p);
    if (pa_context_connect(p.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) p.lost = true;
}

void disconnect(PulseOutput& p, uint64_t nowUs) {
    if (p.stream != nullptr) {
        pa_stream_set_state_callback(p.stream, nullptr, nullptr);
        pa_stream_set_write_callback(p.stream, nullptr, nullptr);
        pa_stream_set_latency_update_callback(p.stream, nullptr, nullptr);
        pa_stream_set_moved_callback(p.stream, nullptr, nullptr);
        pa_stream_disconnect(p.stream);
        pa_stream_unref(p.stream);
        p.stream = nullptr;
    }
    if (p.context != nullptr) {
        pa_context_set_state_callback(p.context, nullptr, nullptr);
        pa_context_disconnect(p.context);
        pa_context_unref(p.context);
        p.context = nullptr;
    }
    p.retryAtUs = nowUs + RetryAfterUs;
}

// The loop's regular look at its connection: a lost one (the server went away) is dropped
// and, a second later, made afresh, as often as it takes; meanwhile the music goes on
// unheard, and the mixer's pace drops what was missed once a stream takes it again.
void check(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* user) {
    PulseOutput& p = *static_cast<PulseOutput*>(user);
    const uint64_t nowUs = monotonicUs();
    if (p.context != nullptr &&
        (p.lost || (!ready(p.stream) && nowUs - p.connectedAtUs > ConnectWithinUs)))
        disconnect(p, nowUs);
    if (p.context == nullptr && nowUs >= p.retryAtUs) connect(p, nowUs);
    // One question at a time: a server that stops answering is not asked again and again.
    if (p.started && ready(p.stream) && !p.timingAsked) {
        if (pa_operation* asked = pa_stream_update_timing_info(p.stream, onTimingAnswered, &p)) {
            pa_operation_unref(asked);
            p.timingAsked = true;
        }
    }
    struct timeval next{};
    api->time_restart(event, pa_timeval_add(pa_gettimeofday(&next), CheckEveryUs));
}

// Waits, with the loop locked, until `done` holds or the connection fails, at most
// ConnectWithinUs; false when it did not come to hold.
template <typename Done>
bool waitLocked(PulseOutput& p, Done done) {
    const uint64_t untilUs = monotonicUs() + ConnectWithinUs;
    while (!done()) {
        if (p.lost || monotonicUs() > untilUs) return false;
        pa_threaded_mainloop_unlock(p.loop);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        pa_threaded_mainloop_lock(p.loop);
    }
    return true;
}

struct SinkQuery {
    std::vector<std::string> names;         // the server's names
    std::vector<std::string> descriptions;  // as the sinks are listed to the viewer
    bool done = false;
};

void onSink(pa_context*, const pa_sink_info* info, int last, void* user) {
    auto& query = *static_cast<SinkQuery*>(user);
    if (last != 0) {
        query.done = true;
        return;
    }
    query.names.emplace_back(info->name);
    query.descriptions.emplace_back(info->description != nullptr ? info->description : info->name);
}

// Lists the server's sinks on a connected output, with its loop locked.
bool querySinks(PulseOutput& p, SinkQuery& query) {
    if (!waitLocked(p, [&] { return pa_context_get_state(p.context) == PA_CONTEXT_READY; }))
        return false;
    pa_operation* operation = pa_context_get_sink_info_list(p.context, onSink, &query);
    if (operation == nullptr) return false;
    pa_operation_unref(operation);
    return waitLocked(p, [&] { return query.done; });
}

// A connection, its loop running and locked; null when it could not be begun.
PulseOutput* startConnection(Mixer* mix) {
    auto* p = new PulseOutput;
    p->mix = mix;
    p->loop = pa_threaded_mainloop_new();
    if (p->loop == nullptr) {
        delete p;
        return nullptr;
    }
    pa_threaded_mainloop_lock(p->loop);
    connect(*p, monotonicUs());
    if (p->context == nullptr || pa_threaded_mainloop_start(p->loop) < 0) {
        disconnect(*p, 0);
        pa_threaded_mainloop_unlock(p->loop);
        pa_threaded_mainloop_free(p->loop);
        delete p;
        return nullptr;
    }
    return p;
}

void endConnection(PulseOutput* p) {
    disconnect(*p, 0);
    pa_threaded_mainloop_unlock(p->loop);
    pa_threaded_mainloop_stop(p->loop);
    pa_threaded_mainloop_free(p->loop);
    delete p;
}

void startPulse() {
    pa_threaded_mainloop_lock(pulse->loop);
    pulse->started = true;
    writeMusic(*pulse);
    if (pulse->stream != nullptr) {
        pa_operation* uncork = pa_stream_cork(pulse->stream, 0, nullptr, nullptr);
        if (uncork != nullptr) pa_operation_unref(uncork);
    }
    pa_threaded_mainloop_unlock(pulse->loop);
}

bool pulseHeardFrames(uint64_t monoUs, double& frames) {
    PulseOutput& p = *pulse;
    pa_threaded_mainloop_lock(p.loop);
    std::optional<double> heard;
    if (ready(p.stream)) {
        const std::optional<double> played = streamFrameHeard(p.clock, monoUs, p.mix->mixRate);
        if (played)
            heard = heardSegmentFrames(p.marks, *played, p.mix->segment.load(std::memory_order_acquire));
    }
    pa_threaded_mainloop_unlock(p.loop);
    if (!heard) return false;
    frames = *heard;
    return true;
}

}  // namespace

bool pulseOutputWanted() {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    return driver == nullptr || *driver == '\0' || std::strcmp(driver, "pulseaudio") == 0 ||
           std::strcmp(driver, "pipewire") == 0;
}

bool openPulseOutput(Mixer& mix, const char* deviceName, int deviceIndex, OutputChoice& choice) {
    PulseOutput* p = startConnection(&mix);
    if (p == nullptr) return false;
    if (deviceName != nullptr || deviceIndex != 0) {
        SinkQuery query;
        if (!querySinks(*p, query)) return endConnection(p), false;
        for (size_t i = 0; i < query.names.size() && p->sink.empty(); ++i)
            if (deviceName != nullptr ? query.names[i] == deviceName || query.descriptions[i] == deviceName
                                      : int(i) == deviceIndex)
                p->sink = query.names[i];
        if (p->sink.empty()) return endConnection(p), false;
    }
    // The timing the heard position needs comes with the stream; the mixer's pace drops
    // nothing before it (or a second without it).
    mix.latencyKnown.store(false);
    mix.scratch.assign(2 * size_t(PieceFrames), 0);
    p->plays = true;
    if (pa_context_get_state(p->context) == PA_CONTEXT_READY) openStream(*p);
    if (!waitLocked(*p, [&] { return ready(p->stream); })) return endConnection(p), false;
    struct timeval first{};
    pa_threaded_mainloop_get_api(p->loop)->time_new(
        pa_threaded_mainloop_get_api(p->loop), pa_timeval_add(pa_gettimeofday(&first), CheckEveryUs),
        check, p);
    pa_threaded_mainloop_unlock(p->loop);
    pulse = p;
    choice.start = startPulse;
    choice.heardFrames = pulseHeardFrames;
    return true;
}

bool listPulseSinks(std::vector<std::string>& names) {
    PulseOutput* p = startConnection(nullptr);
    if (p == nullptr) return false;
    SinkQuery query;
    const bool listed = querySinks(*p, query);
    endConnection(p);
    if (listed) names = query.descriptions;
    return listed;
}

}  // namespace sound
