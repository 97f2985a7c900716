#include "app/music.h"

#include <chrono>
#include <string>
#include <thread>

#include "platform/sound.h"
#include "platform/startup_failure.h"

namespace {

sound::Stream* musicStream = nullptr;  // kept for the life of the process
bool musicPlaying = false;             // playback has been started

constexpr const char* MusicFile = "data/music.mp3";
constexpr int MixRate = 44100;        // Hz
constexpr int DecodeAheadMs = 200;    // decoded audio kept ahead of the output
constexpr int MaxChannels = 4;

uint32_t musicStartMs = 0;  // ms into the soundtrack where playback begins
std::string musicDevice;    // output device name; empty for the default
uint32_t musicLatencyMs = 0;  // output latency set by hand, ms

const char* const ErrorTexts[] = {
    "No errors",
    "Cannot call this command once the sound output is initialised.",
    "This command failed because the sound output was not initialised",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

// The soundtrack's sample at clock value `ms`.
uint64_t musicFrameAt(uint32_t ms) { return uint64_t(ms) * MixRate / 1000; }

[[noreturn]] void failWithSoundError() { failStartup(soundErrorText(sound::lastError())); }

}  // namespace

const char* soundErrorText(int code) {
    // Read as unsigned: negative codes fall beyond the table too.
    const unsigned index = unsigned(code);
    if (index >= sizeof(ErrorTexts) / sizeof(ErrorTexts[0])) return "Unknown error";
    return ErrorTexts[index];
}

void setMusicStartMs(uint32_t ms) { musicStartMs = ms; }

void resetMusic() {
    musicStream = nullptr;
    musicPlaying = false;
    musicStartMs = 0;
    musicDevice.clear();
    musicLatencyMs = 0;
}

std::optional<double> musicHeardMs(uint64_t monoUs) {
    double frames = 0;
    if (musicStream == nullptr || !sound::heardFrames(monoUs, frames)) return std::nullopt;
    return frames * 1000.0 / MixRate - musicLatencyMs;
}
void setMusicDevice(const std::string& name) { musicDevice = name; }

void seekMusic(uint32_t clockMs) {
    if (musicPlaying) sound::seekStream(musicStream, musicFrameAt(clockMs));
}

void pauseMusic() {
    if (musicPlaying) sound::pauseOutput();
}

bool musicPlays() { return musicPlaying; }
void setMusicLatencyMs(uint32_t ms) { musicLatencyMs = ms; }

void startMusic() {
    beginMusic();
    // Poll every millisecond: a busy poll would take a core from the decode thread on a small
    // machine. The open itself never blocks on the file (see sound_decoder.h); the caller
    // bounds the whole start.
    while (!musicOpened()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void beginMusic() {
    const sound::LibraryVersion required = sound::requiredLibraryVersion();
    if (sound::isOlderVersion(sound::libraryVersion(), required))
        failStartup(std::string("You have the wrong ") + sound::libraryName() +
                    " version - you should be using " + sound::libraryName() + " " +
                    sound::versionText(required));
    sound::setOutput(sound::OutputSystem);
    sound::setBufferSize(DecodeAheadMs);
    sound::setDriver(0);
    sound::setDeviceName(musicDevice);
    if (!sound::init(MixRate, MaxChannels, 0)) failWithSoundError();

    musicStream = sound::openStream(MusicFile, sound::NonBlocking, 0, 0, musicFrameAt(musicStartMs));
}

bool musicOpened() {
    if (musicPlaying) return true;
    const int state = sound::openState(musicStream);
    if (state == -2) return false;
    if (state != 0) failWithSoundError();
    // The channel is not needed again: the music plays until the process ends.
    sound::play(sound::FreeChannel, musicStream);
    musicPlaying = true;
    return true;
}
