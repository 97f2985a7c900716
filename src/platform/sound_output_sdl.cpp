#include <SDL.h>

#include <chrono>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

#include "platform/clock.h"
#include "platform/heard_position.h"
#include "platform/sound_mixer.h"

// SDL's audio output (ALSA, SDL's dummy and disk drivers, and whatever else SDL_AUDIODRIVER
// names), heard at the hand-over model of heard_position.h.
namespace sound {

namespace {

// The open device. Never freed: SDL's audio thread may still call it while the process exits.
struct SdlOutput {
    Mixer* mix = nullptr;
    SDL_AudioDeviceID device = 0;
    std::string deviceName;   // empty: the default device
    SDL_AudioSpec wanted{};   // what was asked for, to open it again
    // The last hand-over that carried music: when it happened (µs since process start) and
    // the segment's frames handed before it. Written by the audio thread under a sequence
    // count (odd while writing) so that readers see a consistent pair.
    std::atomic<uint32_t> anchorSequence{0};
    std::atomic<uint64_t> anchorUs{0};
    std::atomic<uint64_t> anchorFrames{0};
};

SdlOutput* sdl = nullptr;

constexpr int DeviceBufferFrames = 1024;  // small, so what is heard follows the decoder closely

void setAnchor(SdlOutput& out, uint64_t atUs, uint64_t frames) {
    out.anchorSequence.fetch_add(1, std::memory_order_acq_rel);
    out.anchorUs.store(atUs, std::memory_order_relaxed);
    out.anchorFrames.store(frames, std::memory_order_relaxed);
    out.anchorSequence.fetch_add(1, std::memory_order_acq_rel);
}

void mixChannels(void* user, Uint8* bytes, int length) {
    SdlOutput& out = *static_cast<SdlOutput*>(user);
    const size_t frames = size_t(length) / (2 * sizeof(int16_t));
    const MixedPiece piece = mixOutput(*out.mix, reinterpret_cast<int16_t*>(bytes), frames);
    if (piece.segmentStarted) setAnchor(out, 0, 0);
    if (!piece.held && piece.handed == frames) setAnchor(out, monotonicUs(), piece.framesBefore);
}

// Opens the device as first asked for (paused); 0 on failure.
SDL_AudioDeviceID openDevice(SdlOutput& out, SDL_AudioSpec& obtained) {
    SDL_AudioSpec wanted = out.wanted;
    // No allowed changes: SDL converts to whatever the hardware takes.
    return SDL_OpenAudioDevice(out.deviceName.empty() ? nullptr : out.deviceName.c_str(), 0,
                               &wanted, &obtained, 0);
}

// Runs for the rest of the process once the music plays. When SDL reports the output lost (a
// sound server went away), closes it and opens it again, once a second, until it opens;
// meanwhile the show goes on in silence. The music the output missed is then dropped by
// the mixer's pace, so it comes back in step with the picture.
void watchOutput(SdlOutput* out) {
    using namespace std::chrono_literals;
    for (;;) {
        std::this_thread::sleep_for(250ms);
        if (SDL_GetAudioDeviceStatus(out->device) != SDL_AUDIO_STOPPED) continue;
        SDL_CloseAudioDevice(out->device);
        SDL_AudioSpec obtained{};
        while ((out->device = openDevice(*out, obtained)) == 0) std::this_thread::sleep_for(1s);
        // Paused, the new device does not call the mixer yet: its buffer may be resized.
        out->mix->scratch.assign(2 * size_t(obtained.samples), 0);
        out->mix->deviceFrames.store(obtained.samples);
        SDL_PauseAudioDevice(out->device, 0);
    }
}

void startSdl() {
    SDL_PauseAudioDevice(sdl->device, 0);
    try {
        std::thread(watchOutput, sdl).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the music plays, but a lost output stays lost.
    }
}

bool sdlHeardFrames(uint64_t monoUs, double& frames) {
    uint64_t atUs = 0, handedBefore = 0;
    for (;;) {
        const uint32_t sequence = sdl->anchorSequence.load(std::memory_order_acquire);
        if (sequence % 2 != 0) continue;
        atUs = sdl->anchorUs.load(std::memory_order_relaxed);
        handedBefore = sdl->anchorFrames.load(std::memory_order_relaxed);
        if (sdl->anchorSequence.load(std::memory_order_acquire) == sequence) break;
    }
    const std::optional<double> heard = heardFramesAt(
        atUs, handedBefore, monoUs, sdl->mix->deviceFrames.load(), sdl->mix->mixRate);
    if (!heard) return false;
    frames = *heard;
    return true;
}

}  // namespace

bool openSdlOutput(Mixer& mix, const char* deviceName, int deviceIndex, bool silent,
                   OutputChoice& choice) {
    // Without output the device is SDL's silent one, which still consumes in real time.
    if (silent) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (deviceName == nullptr && deviceIndex != 0) {
        deviceName = SDL_GetAudioDeviceName(deviceIndex, 0);
        if (deviceName == nullptr) return false;
    }
    auto* out = new SdlOutput;
    out->mix = &mix;
    out->deviceName = deviceName != nullptr ? deviceName : "";
    out->wanted.freq = mix.mixRate;
    out->wanted.format = AUDIO_S16SYS;
    out->wanted.channels = 2;
    out->wanted.samples = DeviceBufferFrames;
    out->wanted.callback = mixChannels;
    out->wanted.userdata = out;
    SDL_AudioSpec obtained{};
    out->device = openDevice(*out, obtained);
    if (out->device == 0) {
        delete out;
        return false;
    }
    mix.deviceFrames.store(obtained.samples);
    // SDL's disk writer is not heard in real time: it keeps every frame.
    const char* driver = SDL_GetCurrentAudioDriver();
    mix.keepsPace = driver == nullptr || std::strcmp(driver, "disk") != 0;
    mix.scratch.assign(2 * size_t(obtained.samples), 0);
    sdl = out;
    choice.start = startSdl;
    choice.heardFrames = sdlHeardFrames;
    return true;
}

}  // namespace sound
