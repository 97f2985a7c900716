#include "platform/sound_mixer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "platform/clock.h"
#include "platform/sound.h"

namespace sound {

namespace {

Mixer* mixer = nullptr;
OutputChoice output;
bool started = false;  // the first play has started the output
int outputType = OutputSystem;
int driverIndex = 0;
std::string deviceByName;  // empty: choose by driverIndex
std::atomic<int> lastErrorCode{NoError};

// How long the heard position waits for the output's first latency once the music plays:
// the first position heard sets the show's clock, so it should carry the latency, but an
// output that does not tell must not hold the show.
constexpr uint64_t LatencyWaitUs = 1'000'000;

uint64_t extraLatencyFrames(const Mixer& mix) {
    return uint64_t(mix.extraLatencyUs.load(std::memory_order_relaxed) * mix.mixRate / 1e6);
}

// Takes up to `frames` frames from every playing stream without playing them; returns the
// most any stream gave (fewer when the decoders have not got that far yet).
size_t dropFrames(Mixer& mix, uint64_t frames) {
    const size_t scratchFrames = mix.scratch.size() / 2;
    size_t dropped = 0;
    for (std::atomic<Stream*>& channel : mix.channels) {
        Stream* stream = channel.load(std::memory_order_acquire);
        size_t done = 0;
        while (stream != nullptr && done < frames) {
            const size_t got = readStream(stream, mix.scratch.data(),
                                          size_t(std::min<uint64_t>(frames - done, scratchFrames)));
            if (got == 0) break;
            done += got;
        }
        dropped = std::max(dropped, done);
    }
    return dropped;
}

// Whether this piece plays silence and takes nothing: while paused, and after a seek until
// every stream can give `frames` from its new position (or all it has left). Starts the new
// segment once they can.
bool holdMusic(Mixer& mix, size_t frames, bool& segmentStarted) {
    if (mix.paused.load(std::memory_order_acquire)) return true;
    const uint32_t asked = mix.segmentsAsked.load(std::memory_order_acquire);
    if (asked == mix.segment.load(std::memory_order_relaxed)) return false;
    for (std::atomic<Stream*>& channel : mix.channels)
        if (!positionReady(channel.load(std::memory_order_acquire), frames)) return true;
    mix.framesHanded.store(0, std::memory_order_relaxed);
    mix.pace = OutputPace{};
    mix.segmentHanded = false;
    mix.segment.store(asked, std::memory_order_release);
    segmentStarted = true;
    return false;
}

}  // namespace

MixedPiece mixOutput(Mixer& mix, int16_t* out, size_t frames) {
    MixedPiece piece;
    std::memset(out, 0, frames * 2 * sizeof(int16_t));
    piece.held = holdMusic(mix, frames, piece.segmentStarted);
    piece.segment = mix.segment.load(std::memory_order_relaxed);
    if (piece.held) return piece;
    const size_t scratchFrames = mix.scratch.size() / 2;
    // Music the output missed (it fell more than 1.5 buffers, plus its latency, behind its
    // pace) is dropped first, so that what is played now is what is due now. A server that
    // holds much more (a Bluetooth device) takes data in bursts of up to its latency, and one
    // whose sink is starting holds the first music for seconds before it plays it, so the
    // pace counts only from when the output plays, its latency known.
    const uint64_t toleranceFrames =
        uint64_t(mix.deviceFrames.load()) * 3 / 2 + extraLatencyFrames(mix);
    if (mix.keepsPace && mix.segmentHanded) {
        const uint64_t nowUs = monotonicUs();
        const uint64_t behind = framesToDrop(mix.pace, nowUs, mix.framesHanded.load(), mix.mixRate,
                                             toleranceFrames, latencySettled(mix, nowUs));
        if (behind > 0) {
            const size_t dropped = dropFrames(mix, behind);
            mix.framesHanded.fetch_add(dropped, std::memory_order_relaxed);
            mix.framesDropped.fetch_add(dropped, std::memory_order_relaxed);
        }
    }
    size_t handed = 0;
    for (std::atomic<Stream*>& channel : mix.channels) {
        Stream* stream = channel.load(std::memory_order_acquire);
        if (stream == nullptr) continue;
        size_t done = 0;
        while (done < frames) {
            const size_t got =
                readStream(stream, mix.scratch.data(), std::min(frames - done, scratchFrames));
            if (got == 0) break;  // decoder behind or music over: silence for the rest
            int16_t* target = out + 2 * done;
            for (size_t i = 0; i < 2 * got; ++i)
                target[i] = int16_t(std::clamp(int(target[i]) + int(mix.scratch[i]), -32768, 32767));
            done += got;
        }
        handed = std::max(handed, done);
    }
    if (handed > 0 && !mix.segmentHanded) {
        mix.segmentHanded = true;
        if (mix.firstCallbackMs.load(std::memory_order_relaxed) == 0)
            mix.firstCallbackMs.store(std::max<uint32_t>(monotonicMs(), 1u));
    }
    piece.framesBefore = mix.framesHanded.fetch_add(handed, std::memory_order_relaxed);
    piece.handed = handed;
    return piece;
}

bool latencySettled(const Mixer& mix, uint64_t nowUs) {
    return mix.latencyKnown.load(std::memory_order_acquire) ||
           nowUs >= uint64_t(mix.firstCallbackMs.load()) * 1000 + LatencyWaitUs;
}

void noteError(int code) { lastErrorCode.store(code); }
int lastError() { return lastErrorCode.load(); }

void setOutput(int type) { outputType = type; }
void setBufferSize(int ms) { setStreamBufferMs(ms); }
void setDriver(int driver) { driverIndex = driver; }
void setDeviceName(const std::string& name) { deviceByName = name; }

bool init(int mixRate, int maxChannels, unsigned flags) {
    if (mixer != nullptr || mixRate < 8000 || mixRate > 192000 || maxChannels < 1 ||
        maxChannels > 64 || flags != 0 || (outputType != OutputNone && outputType != OutputSystem)) {
        noteError(InvalidParameter);
        return false;
    }
    Mixer* created = new (std::nothrow) Mixer(maxChannels);
    if (created == nullptr) {
        noteError(OutOfMemory);
        return false;
    }
    created->mixRate = mixRate;
    const char* name = deviceByName.empty() ? nullptr : deviceByName.c_str();
    const bool opened =
        (outputType == OutputSystem && pulseOutputWanted() &&
         openPulseOutput(*created, name, driverIndex, output)) ||
        openSdlOutput(*created, name, driverIndex, outputType == OutputNone, output);
    if (!opened) {
        delete created;
        noteError(OutputInitFailed);
        return false;
    }
    setStreamMixRate(mixRate);
    mixer = created;
    return true;
}

int play(int channel, Stream* stream) {
    if (mixer == nullptr) {
        noteError(NotInitialised);
        return -1;
    }
    if (stream == nullptr || stream->state.load() != NoError) {
        noteError(PlayFailed);
        return -1;
    }
    const int count = int(mixer->channels.size());
    if (channel < FreeChannel || channel >= count) {
        noteError(InvalidParameter);
        return -1;
    }
    int chosen = channel;
    if (channel == FreeChannel) {
        chosen = -1;
        for (int i = 0; i < count && chosen < 0; ++i)
            if (mixer->channels[size_t(i)].load() == nullptr) chosen = i;
    }
    Stream* expected = nullptr;
    if (chosen < 0 || !mixer->channels[size_t(chosen)].compare_exchange_strong(expected, stream)) {
        noteError(NoFreeChannel);
        return -1;
    }
    // The first play starts the output; from then on it takes music for the process's life.
    if (!started) {
        started = true;
        output.start();
    }
    return chosen;
}

void seekStream(Stream* stream, uint64_t frame) {
    requestStreamSeek(stream, frame);
    if (mixer == nullptr) return;
    // After the stream's request, so that the mixer seeing the new segment waits for it.
    mixer->segmentsAsked.fetch_add(1, std::memory_order_acq_rel);
    mixer->paused.store(false, std::memory_order_release);
}

void pauseOutput() {
    if (mixer != nullptr) mixer->paused.store(true, std::memory_order_release);
}

PlaybackPosition playbackPosition() {
    PlaybackPosition position;
    if (mixer == nullptr) return position;
    position.framesHanded = mixer->framesHanded.load();
    position.framesDropped = mixer->framesDropped.load();
    position.deviceLatencyFrames = mixer->deviceFrames.load();
    position.firstCallbackMs = mixer->firstCallbackMs.load();
    return position;
}

bool heardFrames(uint64_t monoUs, double& frames) {
    if (mixer == nullptr || mixer->paused.load(std::memory_order_acquire) ||
        mixer->segment.load(std::memory_order_acquire) !=
            mixer->segmentsAsked.load(std::memory_order_acquire) ||
        !latencySettled(*mixer, monoUs))
        return false;
    return output.heardFrames(monoUs, frames);
}

bool listOutputDevices(std::vector<std::string>& names, std::string& error) {
    names.clear();
    if (pulseOutputWanted() && listPulseSinks(names) && !names.empty()) return true;
    return listSdlOutputDevices(names, error);
}

}  // namespace sound
