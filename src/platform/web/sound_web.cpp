// The sound layer in the browser: the page decodes "data/music.mp3" with the browser's own
// MP3 decoder (it starts as soon as the data is in place) and plays it through Web Audio;
// this layer asks whether the decoding has finished, starts, moves and stops the music and
// reads where it is being heard. Module.showAudio is the page's player (see web/index.html).
#include <emscripten/emscripten.h>

#include <algorithm>
#include <string>

#include "platform/clock.h"
#include "platform/sound.h"

namespace {

// -2 while the page decodes `name`, 0 once it has, else the error code of its failure.
EM_JS(int, pageMusicState, (const char* name), {
    const audio = Module["showAudio"];
    return audio ? audio.state(UTF8ToString(name)) : 3;
});

// Plays the decoded music from `offsetSeconds` into it, now, in place of what played
// before; 0 on success.
EM_JS(int, pagePlayMusic, (double offsetSeconds), {
    return Module["showAudio"].play(offsetSeconds);
});

// Stops the music; nothing is heard until it plays again.
EM_JS(void, pageStopMusic, (), {
    const audio = Module["showAudio"];
    if (audio) audio.stop();
});

// Seconds of the music heard by page time `pageMs` (performance.now()) since it last began
// to play (from the start or a seek); negative when nothing is heard (not heard yet, ended,
// or stopped).
EM_JS(double, pageHeardSeconds, (double pageMs), {
    const audio = Module["showAudio"];
    return audio ? audio.heardSeconds(pageMs) : -1;
});

int lastErrorCode = sound::NoError;
int mixRate = 44100;  // Hz: stream frames are counted at this rate, as on the desktop

}  // namespace

namespace sound {

struct Stream {
    std::string fileName;
    int state = -2;           // -2 while the page decodes, 0 ready, else the error code
    uint64_t startFrame = 0;  // frames skipped at the start, at the mix rate
    bool playing = false;     // play() started it: seeks move it from then on
};

const char* libraryName() { return "Web Audio"; }
LibraryVersion libraryVersion() { return {}; }
LibraryVersion requiredLibraryVersion() { return {}; }
// The browser's decoder has no version to check.
bool isOlderVersion(LibraryVersion, LibraryVersion) { return false; }
std::string versionText(LibraryVersion) { return "(any)"; }

// The browser chooses the output and buffers as it likes.
void setOutput(int) {}
void setBufferSize(int) {}
void setDriver(int) {}
void setDeviceName(const std::string&) {}
bool listOutputDevices(std::vector<std::string>& names, std::string& error) {
    names.clear();
    error = "the page plays through the browser's own output";
    return false;
}

bool init(int rate, int maxChannels, unsigned flags) {
    if (rate <= 0 || maxChannels < 1 || maxChannels > 64 || flags != 0) {
        lastErrorCode = InvalidParameter;
        return false;
    }
    mixRate = rate;
    return true;
}

Stream* openStream(const char* fileName, unsigned, int offset, int length, uint64_t startFrame) {
    static Stream stream;  // one soundtrack per run
    stream.fileName = fileName != nullptr ? fileName : "";
    stream.startFrame = startFrame;
    stream.state = (offset != 0 || length != 0) ? int(InvalidParameter) : -2;
    openState(&stream);
    return &stream;
}

int openState(Stream* stream) {
    if (stream == nullptr) return InvalidParameter;
    if (stream->state == -2) {
        stream->state = pageMusicState(stream->fileName.c_str());
        if (stream->state > 0) lastErrorCode = stream->state;
    }
    return stream->state;
}

int play(int, Stream* stream) {
    if (stream == nullptr || stream->state != NoError ||
        pagePlayMusic(double(stream->startFrame) / mixRate) != 0) {
        lastErrorCode = PlayFailed;
        return -1;
    }
    stream->playing = true;
    return 0;
}

// The page's player starts a new buffer source at the frame's time into the decoded music
// (the browser resamples it to the output's rate, so "sample-exact" means at that time, to
// the output's sample) and counts what is heard from there.
void seekStream(Stream* stream, uint64_t frame) {
    if (stream == nullptr || !stream->playing) return;
    pagePlayMusic(double(frame) / mixRate);
}

void pauseOutput() {
    pageStopMusic();
}

int lastError() { return lastErrorCode; }

bool heardFrames(uint64_t monoUs, double& frames) {
    // monoUs on the page's clock (performance.now(), ms): the same clock, counted from the run's start.
    const uint64_t nowUs = monotonicUs();
    const double pageMs = emscripten_get_now() - double(nowUs - std::min(monoUs, nowUs)) / 1000.0;
    const double seconds = pageHeardSeconds(pageMs);
    if (seconds < 0) return false;
    frames = seconds * mixRate;
    return true;
}

}  // namespace sound
