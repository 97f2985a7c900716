#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/heard_position.h"
#include "platform/output_pace.h"
#include "platform/sound.h"
#include "platform/sound_server.h"
#include "platform/sound_stream.h"

namespace sound {

namespace {

// The open output device and what plays on it. Created by init() and never freed: SDL's
// audio thread may still call the mixer while the process exits.
struct Mixer {
    SDL_AudioDeviceID device = 0;
    std::string deviceName;                      // empty: the default device
    SDL_AudioSpec wanted{};                      // what init() asked for, to open it again
    std::atomic<int> deviceFrames{0};            // device buffer, frames
    int mixRate = 44100;                         // Hz
    bool watched = false;                        // the output watch runs (after the first play)
    bool keepsPace = true;                       // false for an output that is not heard in
                                                 // real time (SDL's disk writer): drop nothing
    std::vector<std::atomic<Stream*>> channels;  // null: free
    std::vector<int16_t> scratch;                // one channel's frames, stereo
    OutputPace pace;                             // audio thread only
    std::atomic<uint64_t> framesHanded{0};       // stream frames given to the device or dropped
    std::atomic<uint64_t> framesDropped{0};      // of those, dropped to keep the music on time
    std::atomic<uint32_t> firstCallbackMs{0};    // ms since process start; 0: none yet
    // The last hand-over that carried music: when it happened (µs since process start) and
    // the frames handed before it. Written by the audio thread under a sequence count
    // (odd while writing) so that readers see a consistent pair.
    std::atomic<uint32_t> anchorSequence{0};
    std::atomic<uint64_t> anchorUs{0};
    std::atomic<uint64_t> anchorFrames{0};
    std::atomic<uint64_t> lastCallbackUs{0};     // end of the last hand-over of any kind, µs
                                                 // since process start; 0: none yet
    // The output's latency beyond the hand-over model, as the sound server reports it (µs,
    // 0 or more), and whether enough answers are in (FirstServerAnswers); an output with no
    // server to ask counts as known from the start.
    std::atomic<double> extraLatencyUs{0};
    std::atomic<bool> latencyKnown{true};
    LatencyReports reports;                      // the latency watch's thread only
    // Pause and seeks (pauseOutput, seekStream): silence while paused; every seek asks for a
    // new playback segment, which the mixer starts once the streams have their new position
    // decoded: the frames handed, the pace and the anchor then count from it.
    std::atomic<bool> paused{false};
    std::atomic<uint32_t> segmentsAsked{0};
    std::atomic<uint32_t> segment{0};            // the segment playing (audio thread writes)
    bool segmentHanded = false;                  // audio thread: music handed in this segment
    explicit Mixer(int maxChannels) : channels(size_t(maxChannels)) {}
};

Mixer* mixer = nullptr;
int outputType = OutputSystem;
int driverIndex = 0;
std::string deviceByName;  // empty: choose by driverIndex
std::atomic<int> lastErrorCode{NoError};

constexpr int DeviceBufferFrames = 1024;  // small, so what is heard follows the decoder closely
// How long the heard position waits for the server's first answer once the music plays:
// the first position heard sets the show's clock, so it should carry the latency, but a
// server that does not answer must not hold the show.
constexpr uint64_t LatencyWaitUs = 1'000'000;
// A server's answer counts only while the output runs: its newest buffer is then at most
// this old.
constexpr uint64_t MaxCallbackAgeUs = 500'000;

// Whether the output's latency is as known as it will be: the server has answered, or has
// had its time to (`LatencyWaitUs` from the first hand-over of music).
bool latencySettled(const Mixer& mix, uint64_t nowUs) {
    return mix.latencyKnown.load(std::memory_order_acquire) ||
           nowUs >= uint64_t(mix.firstCallbackMs.load()) * 1000 + LatencyWaitUs;
}

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

// Whether this hand-over plays silence and takes nothing: while paused, and after a seek
// until every stream can give a device buffer from its new position (or all it has left).
// Starts the new segment once they can.
bool holdMusic(Mixer& mix, size_t frames) {
    if (mix.paused.load(std::memory_order_acquire)) return true;
    const uint32_t asked = mix.segmentsAsked.load(std::memory_order_acquire);
    if (asked == mix.segment.load(std::memory_order_relaxed)) return false;
    for (std::atomic<Stream*>& channel : mix.channels)
        if (!positionReady(channel.load(std::memory_order_acquire), frames)) return true;
    mix.anchorSequence.fetch_add(1, std::memory_order_acq_rel);
    mix.anchorUs.store(0, std::memory_order_relaxed);
    mix.anchorFrames.store(0, std::memory_order_relaxed);
    mix.anchorSequence.fetch_add(1, std::memory_order_acq_rel);
    mix.framesHanded.store(0, std::memory_order_relaxed);
    mix.pace = OutputPace{};
    mix.segmentHanded = false;
    mix.segment.store(asked, std::memory_order_release);
    return false;
}

void mixChannels(void* user, Uint8* bytes, int length) {
    Mixer& mix = *static_cast<Mixer*>(user);
    auto* out = reinterpret_cast<int16_t*>(bytes);
    const size_t frames = size_t(length) / (2 * sizeof(int16_t));
    std::memset(bytes, 0, size_t(length));
    if (holdMusic(mix, frames)) {
        mix.lastCallbackUs.store(monotonicUs(), std::memory_order_release);
        return;
    }
    const size_t scratchFrames = mix.scratch.size() / 2;
    // Music the output missed (it fell more than 1.5 buffers, plus the server's latency,
    // behind its pace) is dropped first, so that what is played now is what is due now. A
    // server that holds much more (a Bluetooth device) takes data in bursts of up to its
    // latency, so nothing is dropped before that latency is known.
    const uint64_t toleranceFrames =
        uint64_t(mix.deviceFrames.load()) * 3 / 2 + extraLatencyFrames(mix);
    if (mix.keepsPace && mix.segmentHanded && latencySettled(mix, monotonicUs())) {
        const uint64_t behind = framesToDrop(mix.pace, monotonicUs(), mix.framesHanded.load(),
                                             mix.mixRate, toleranceFrames);
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
        if (mix.keepsPace) framesToDrop(mix.pace, monotonicUs(), 0, mix.mixRate, toleranceFrames);
    }
    const uint64_t before = mix.framesHanded.fetch_add(handed, std::memory_order_relaxed);
    if (handed == frames) {
        mix.anchorSequence.fetch_add(1, std::memory_order_acq_rel);
        mix.anchorUs.store(monotonicUs(), std::memory_order_relaxed);
        mix.anchorFrames.store(before, std::memory_order_relaxed);
        mix.anchorSequence.fetch_add(1, std::memory_order_acq_rel);
    }
    mix.lastCallbackUs.store(monotonicUs(), std::memory_order_release);
}

// An answer of the server's (on the latency watch's thread): kept when the output ran and
// did not hand over between question and answer, so that its newest buffer is known.
bool noteServerLatency(uint64_t askedUs, uint64_t answeredUs, double latencyUs) {
    Mixer& mix = *mixer;
    const uint64_t callbackUs = mix.lastCallbackUs.load(std::memory_order_acquire);
    if (callbackUs == 0 || callbackUs > askedUs || askedUs - callbackUs > MaxCallbackAgeUs)
        return false;
    noteLatencyReport(mix.reports, reportedExtraUs(callbackUs, askedUs, answeredUs, latencyUs,
                                                   mix.deviceFrames.load(), mix.mixRate));
    mix.extraLatencyUs.store(extraLatencyUs(mix.reports), std::memory_order_relaxed);
    if (mix.reports.count >= size_t(FirstServerAnswers))
        mix.latencyKnown.store(true, std::memory_order_release);
    return true;
}

// Opens the output device as init() asked for it (paused); 0 on failure.
SDL_AudioDeviceID openOutput(Mixer& mix, SDL_AudioSpec& obtained) {
    SDL_AudioSpec wanted = mix.wanted;
    // No allowed changes: SDL converts to whatever the hardware takes.
    return SDL_OpenAudioDevice(mix.deviceName.empty() ? nullptr : mix.deviceName.c_str(), 0,
                               &wanted, &obtained, 0);
}

// Runs for the rest of the process once the music plays. When SDL reports the output lost (a
// sound server went away), closes it and opens it again, once a second, until a server takes
// it; meanwhile the show goes on in silence. The music the output missed is then dropped by
// the mixer's pace, so it comes back in step with the picture.
void watchOutput(Mixer* mix) {
    using namespace std::chrono_literals;
    for (;;) {
        std::this_thread::sleep_for(250ms);
        if (SDL_GetAudioDeviceStatus(mix->device) != SDL_AUDIO_STOPPED) continue;
        SDL_CloseAudioDevice(mix->device);
        SDL_AudioSpec obtained{};
        while ((mix->device = openOutput(*mix, obtained)) == 0) std::this_thread::sleep_for(1s);
        // Paused, the new device does not call the mixer yet: its buffer may be resized.
        mix->scratch.assign(2 * size_t(obtained.samples), 0);
        mix->deviceFrames.store(obtained.samples);
        SDL_PauseAudioDevice(mix->device, 0);
    }
}

}  // namespace

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
    // Without output the device is SDL's silent one, which still consumes in real time.
    if (outputType == OutputNone) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        noteError(OutputInitFailed);
        return false;
    }
    const char* deviceName = nullptr;  // the default device
    if (!deviceByName.empty()) {
        deviceName = deviceByName.c_str();
    } else if (driverIndex != 0) {
        deviceName = SDL_GetAudioDeviceName(driverIndex, 0);
        if (deviceName == nullptr) {
            noteError(OutputInitFailed);
            return false;
        }
    }
    Mixer* created = new (std::nothrow) Mixer(maxChannels);
    if (created == nullptr) {
        noteError(OutOfMemory);
        return false;
    }
    created->deviceName = deviceName != nullptr ? deviceName : "";
    created->wanted.freq = mixRate;
    created->wanted.format = AUDIO_S16SYS;
    created->wanted.channels = 2;
    created->wanted.samples = DeviceBufferFrames;
    created->wanted.callback = mixChannels;
    created->wanted.userdata = created;
    SDL_AudioSpec obtained{};
    created->device = openOutput(*created, obtained);
    if (created->device == 0) {
        delete created;
        noteError(OutputInitFailed);
        return false;
    }
    created->deviceFrames.store(obtained.samples);
    created->mixRate = mixRate;
    // SDL's disk writer is not heard in real time: it keeps every frame.
    const char* driver = SDL_GetCurrentAudioDriver();
    created->keepsPace = driver == nullptr || std::strcmp(driver, "disk") != 0;
    created->scratch.assign(2 * size_t(obtained.samples), 0);
    setStreamMixRate(mixRate);
    // Behind a sound server the music is heard later than the device buffer says: ask it.
    const bool behindServer = driver != nullptr && std::strcmp(driver, "pulseaudio") == 0;
    created->latencyKnown.store(!behindServer);
    mixer = created;
    if (behindServer && !watchServerLatency(noteServerLatency)) created->latencyKnown.store(true);
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
    // The first play starts the device and its watch; from then on the watch owns the device.
    if (!mixer->watched) {
        SDL_PauseAudioDevice(mixer->device, 0);
        mixer->watched = true;
        try {
            std::thread(watchOutput, mixer).detach();
        } catch (const std::system_error&) {
            // No thread to spare: the music plays, but a lost output stays lost.
        }
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
            mixer->segmentsAsked.load(std::memory_order_acquire))
        return false;
    uint64_t atUs = 0, handedBefore = 0;
    for (;;) {
        const uint32_t sequence = mixer->anchorSequence.load(std::memory_order_acquire);
        if (sequence % 2 != 0) continue;
        atUs = mixer->anchorUs.load(std::memory_order_relaxed);
        handedBefore = mixer->anchorFrames.load(std::memory_order_relaxed);
        if (mixer->anchorSequence.load(std::memory_order_acquire) == sequence) break;
    }
    if (!latencySettled(*mixer, monoUs)) return false;
    const std::optional<double> heard =
        heardFramesAt(atUs, handedBefore, monoUs, mixer->deviceFrames.load(), mixer->mixRate,
                      mixer->extraLatencyUs.load(std::memory_order_relaxed));
    if (!heard) return false;
    frames = *heard;
    return true;
}

}  // namespace sound
