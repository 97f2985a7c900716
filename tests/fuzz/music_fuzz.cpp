// Arbitrary bytes as the soundtrack file, opened and decoded through the sound layer's
// decoder set-up (the one the stream thread runs). The open must end with NoError or an
// error code, decoding must stay within the buffer it is given, and nothing may hang.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/sound.h"
#include "platform/sound_decoder.h"

namespace {

constexpr int MixRate = 44100;                // Hz, as the show opens its stream
constexpr size_t ChunkFrames = 1152;          // one decode step of the stream thread
constexpr size_t MaxChunks = 16;              // about 0.4 s of audio per input: bounds the work
constexpr uint64_t SeekFrame = 3 * 1152 + 7;  // a start inside the third MPEG frame

void check(bool condition) {
    if (!condition) __builtin_trap();
}

bool knownError(int code) {
    using namespace sound;
    return code == FileNotFound || code == UnknownFormat || code == ReadFailed ||
           code == OutOfMemory;
}

// Decodes at most MaxChunks chunks; a guard frame behind the chunk must stay untouched.
void decodeSome(sound::Decoder& decoder) {
    std::vector<int16_t> chunk(2 * (ChunkFrames + 1));
    for (size_t n = 0; n < MaxChunks; ++n) {
        chunk[2 * ChunkFrames] = 0x5a5a;
        chunk[2 * ChunkFrames + 1] = -0x5a5b;
        const sound::DecodeResult got = sound::decodeFrames(decoder, chunk.data(), ChunkFrames);
        check(got.frames <= ChunkFrames);
        check(chunk[2 * ChunkFrames] == 0x5a5a && chunk[2 * ChunkFrames + 1] == -0x5a5b);
        check(got.error == sound::NoError || knownError(got.error));
        check(got.ended || got.frames == ChunkFrames);
        if (got.ended) break;
    }
}

// The input lives in an anonymous memory file, opened by its /proc path like any file.
int memoryFile() {
    static const int fd = memfd_create("music.mp3", MFD_CLOEXEC);
    check(fd >= 0);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memoryFile();
    check(ftruncate(fd, 0) == 0);
    check(pwrite(fd, data, size, 0) == ssize_t(size));
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);

    sound::Decoder decoder;
    int opened = sound::openDecoder(path, MixRate, decoder);
    check(opened == sound::NoError || knownError(opened));
    if (opened != sound::NoError) {
        check(decoder.handle == nullptr && decoder.file == nullptr);
        return 0;
    }
    decodeSome(decoder);
    sound::closeDecoder(decoder);

    // The same file opened at a later start (the player's --start).
    opened = sound::openDecoder(path, MixRate, decoder);
    check(opened == sound::NoError);
    const int sought = sound::seekDecoder(decoder, SeekFrame);
    check(sought == sound::NoError || knownError(sought));
    if (sought == sound::NoError) decodeSome(decoder);
    sound::closeDecoder(decoder);
    return 0;
}
