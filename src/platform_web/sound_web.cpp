// The sound layer in the browser: the page decodes "data/music.mp3" with the browser's own
// MP3 decoder before the show starts and plays it through Web Audio; this layer starts it
// and reads where it is being heard. Module.showAudio is the page's player (see the page).
#include <emscripten/emscripten.h>

#include "platform/sound.h"
#include "platform_web/page_bridge.h"

namespace {

// 0 when the page has decoded `name`, else the error code of its failure.
EM_JS(int, pageOpenMusic, (const char* name), {
    const audio = Module["showAudio"];
    return audio ? audio.open(UTF8ToString(name)) : 3;
});

EM_JS(int, pagePlayMusic, (double offsetSeconds), {
    return Module["showAudio"].play(offsetSeconds);
});

// Seconds of the music heard at page time `pageMs` (performance.now() units) since it
// started; negative when nothing is heard (not started yet, or ended).
EM_JS(double, pageHeardSeconds, (double pageMs), {
    const audio = Module["showAudio"];
    return audio ? audio.heardSeconds(pageMs) : -1;
});

int lastErrorCode = sound::NoError;
int mixRate = 44100;  // Hz: stream frames are counted at this rate, as on the desktop

}  // namespace

namespace sound {

struct Stream {
    int state = -2;           // 0 ready, else the error code
    uint64_t startFrame = 0;  // frames skipped at the start, at the mix rate
};

const char* libraryName() { return "Web Audio"; }
LibraryVersion libraryVersion() { return {}; }
LibraryVersion requiredLibraryVersion() { return {}; }
bool isOlderVersion(LibraryVersion found, LibraryVersion required) {
    return found.known && required.known && found.api < required.api;
}
std::string versionText(LibraryVersion version) { return "API " + std::to_string(version.api); }

// The browser chooses the output; buffering is its own.
void setOutput(int) {}
void setBufferSize(int) {}
void setDriver(int) {}
void setDeviceName(const std::string&) {}

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
    stream.startFrame = startFrame;
    // The page has finished decoding before the show starts: the open is never pending.
    stream.state = (offset != 0 || length != 0) ? int(InvalidParameter) : pageOpenMusic(fileName);
    if (stream.state != NoError) lastErrorCode = stream.state;
    return &stream;
}

int openState(Stream* stream) { return stream != nullptr ? stream->state : int(InvalidParameter); }

int play(int, Stream* stream) {
    if (stream == nullptr || stream->state != NoError) {
        lastErrorCode = PlayFailed;
        return -1;
    }
    if (pagePlayMusic(double(stream->startFrame) / mixRate) != 0) {
        lastErrorCode = PlayFailed;
        return -1;
    }
    return 0;
}

int lastError() { return lastErrorCode; }

bool heardFrames(uint64_t monoUs, double& frames) {
    const double seconds = pageHeardSeconds(pageTimeOfProcessStartMs() + double(monoUs) / 1000.0);
    if (seconds < 0) return false;
    frames = seconds * mixRate;
    return true;
}

}  // namespace sound
