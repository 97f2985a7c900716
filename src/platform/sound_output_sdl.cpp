#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/sound.h"
#include "platform/sound_stream.h"

namespace sound {

namespace {

// The open output device and what plays on it. Created by init() and never freed: SDL's
// audio thread may still call the mixer while the process exits.
struct Mixer {
    SDL_AudioDeviceID device = 0;
    int deviceFrames = 0;                        // device buffer, frames
    int mixRate = 44100;                         // Hz
    std::vector<std::atomic<Stream*>> channels;  // null: free
    std::vector<int16_t> scratch;                // one channel's frames, stereo
    std::atomic<uint64_t> framesHanded{0};       // stream frames given to the device
    std::atomic<uint32_t> firstCallbackMs{0};    // ms since process start; 0: none yet
    // The last hand-over that carried music: when it happened (µs since process start) and
    // the frames handed before it. Written by the audio thread under a sequence count
    // (odd while writing) so that readers see a consistent pair.
    std::atomic<uint32_t> anchorSequence{0};
    std::atomic<uint64_t> anchorUs{0};
    std::atomic<uint64_t> anchorFrames{0};
    explicit Mixer(int maxChannels) : channels(size_t(maxChannels)) {}
};

Mixer* mixer = nullptr;
int outputType = OutputSystem;
int driverIndex = 0;
std::string deviceByName;  // empty: choose by driverIndex
std::atomic<int> lastErrorCode{NoError};

constexpr int DeviceBufferFrames = 1024;  // small, so what is heard follows the decoder closely

void mixChannels(void* user, Uint8* bytes, int length) {
    Mixer& mix = *static_cast<Mixer*>(user);
    auto* out = reinterpret_cast<int16_t*>(bytes);
    const size_t frames = size_t(length) / (2 * sizeof(int16_t));
    std::memset(bytes, 0, size_t(length));
    const size_t scratchFrames = mix.scratch.size() / 2;
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
    if (handed > 0 && mix.firstCallbackMs.load(std::memory_order_relaxed) == 0)
        mix.firstCallbackMs.store(std::max<uint32_t>(monotonicMs(), 1u));
    const uint64_t before = mix.framesHanded.fetch_add(handed, std::memory_order_relaxed);
    if (handed == frames) {
        mix.anchorSequence.fetch_add(1, std::memory_order_acq_rel);
        mix.anchorUs.store(monotonicUs(), std::memory_order_relaxed);
        mix.anchorFrames.store(before, std::memory_order_relaxed);
        mix.anchorSequence.fetch_add(1, std::memory_order_acq_rel);
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
    SDL_AudioSpec wanted{};
    wanted.freq = mixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = DeviceBufferFrames;
    wanted.callback = mixChannels;
    wanted.userdata = created;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts to whatever the hardware takes.
    created->device = SDL_OpenAudioDevice(deviceName, 0, &wanted, &obtained, 0);
    if (created->device == 0) {
        delete created;
        noteError(OutputInitFailed);
        return false;
    }
    created->deviceFrames = obtained.samples;
    created->mixRate = mixRate;
    created->scratch.assign(2 * size_t(obtained.samples), 0);
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
    SDL_PauseAudioDevice(mixer->device, 0);
    return chosen;
}

PlaybackPosition playbackPosition() {
    PlaybackPosition position;
    if (mixer == nullptr) return position;
    position.framesHanded = mixer->framesHanded.load();
    position.deviceLatencyFrames = mixer->deviceFrames;
    position.firstCallbackMs = mixer->firstCallbackMs.load();
    return position;
}

bool heardFrames(uint64_t monoUs, double& frames) {
    if (mixer == nullptr) return false;
    uint64_t atUs = 0, handedBefore = 0;
    for (;;) {
        const uint32_t sequence = mixer->anchorSequence.load(std::memory_order_acquire);
        if (sequence % 2 != 0) continue;
        atUs = mixer->anchorUs.load(std::memory_order_relaxed);
        handedBefore = mixer->anchorFrames.load(std::memory_order_relaxed);
        if (mixer->anchorSequence.load(std::memory_order_acquire) == sequence) break;
    }
    if (atUs == 0) return false;
    const double rate = double(mixer->mixRate);
    const double sinceUs = monoUs > atUs ? double(monoUs - atUs) : 0.0;
    const double bufferUs = 1e6 * mixer->deviceFrames / rate;
    if (sinceUs > 2 * bufferUs) return false;
    frames = double(handedBefore) - mixer->deviceFrames + sinceUs * rate / 1e6;
    return true;
}

}  // namespace sound
