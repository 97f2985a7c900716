#include "platform/sound_stream.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/sound_decoder.h"

namespace sound {

namespace {

int streamBufferMs = 200;  // ms decoded before an open reports ready
int streamMixRate = 44100;  // Hz
constexpr size_t DecodeChunkFrames = 1152;  // one MPEG frame's worth per decode step
// Every stream stays listed here for the life of the process (they are never freed).
std::atomic<Stream*> allStreams{nullptr};

void writeRing(Stream& stream, const int16_t* samples, size_t frames) {
    const uint64_t at = stream.written.load(std::memory_order_relaxed);
    for (size_t i = 0; i < frames; ++i) {
        const size_t slot = size_t((at + i) % stream.capacityFrames);
        stream.ring[2 * slot] = samples[2 * i];
        stream.ring[2 * slot + 1] = samples[2 * i + 1];
    }
    stream.written.store(at + frames, std::memory_order_release);
}

size_t freeFrames(const Stream& stream) {
    return size_t(stream.capacityFrames - (stream.written.load(std::memory_order_relaxed) -
                                           stream.read.load(std::memory_order_acquire)));
}

bool seekPending(const Stream& stream) {
    return stream.seeksAsked.load(std::memory_order_acquire) !=
           stream.seeksDone.load(std::memory_order_relaxed);
}

// Decodes while the ring has room for a chunk, until `upTo` frames have ever been written or
// a seek is asked for. Returns false when the stream has ended.
bool fillRing(Stream& stream, Decoder& decoder, int16_t* chunk, int& error, uint64_t upTo) {
    while (freeFrames(stream) >= DecodeChunkFrames && stream.written.load() < upTo &&
           !seekPending(stream)) {
        const DecodeResult got = decodeFrames(decoder, chunk, DecodeChunkFrames);
        writeRing(stream, chunk, got.frames);
        if (got.ended) {
            error = got.error;
            return false;
        }
    }
    return true;
}

// The stream's thread: opens the file, fills the ring before reporting ready, then keeps
// the ring full, and carries out seeks, for the life of the process (a seek may bring back
// music that has ended). Touches only the stream and its decoder.
void decodeLoop(Stream* stream) {
    // The output thread runs at raised priority where the system allows; the decoder feeding
    // it must not starve behind the renderer either. Refused without the right: then it runs
    // at normal priority, as before.
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), -10);
    Decoder decoder;
    int error = openDecoder(stream->fileName.c_str(), stream->mixRate, decoder);
    if (error == NoError) error = seekDecoder(decoder, stream->startFrame);
    if (error != NoError) {
        closeDecoder(decoder);
        stream->state.store(error);
        return;
    }
    int16_t chunk[2 * DecodeChunkFrames];
    bool more = fillRing(*stream, decoder, chunk, error, stream->readyFrames);
    if (stream->written.load() == 0 && stream->startFrame == 0) {
        // A file that has a format but yields no samples has no audio frames.
        closeDecoder(decoder);
        stream->state.store(error != NoError ? error : UnknownFormat);
        return;
    }
    stream->state.store(NoError);
    if (!more) stream->decodeEnded.store(true, std::memory_order_release);
    for (;;) {
        const uint32_t seen = stream->wakeups.load(std::memory_order_acquire);
        const uint32_t asked = stream->seeksAsked.load(std::memory_order_acquire);
        if (asked != stream->seeksDone.load(std::memory_order_relaxed)) {
            // Audio decoded from here on begins at the ring's write counter; the reader skips
            // what lies before it. A position that cannot be reached is silence.
            more = seekDecoder(decoder, stream->seekFrame.load()) == NoError;
            stream->decodeEnded.store(!more, std::memory_order_relaxed);
            stream->seekDoneAt.store(stream->written.load(), std::memory_order_relaxed);
            stream->seeksDone.store(asked, std::memory_order_release);
            continue;
        }
        if (more && freeFrames(*stream) >= DecodeChunkFrames) {
            // Read or decode failures after the start end the music early: silence follows.
            more = fillRing(*stream, decoder, chunk, error, UINT64_MAX);
            if (!more) stream->decodeEnded.store(true, std::memory_order_release);
            continue;
        }
        // The ring is full or the music has ended: sleep until a read or a seek.
        stream->wakeups.wait(seen);
    }
}

// Skips, for the reader, the audio from before the newest carried-out seek.
void skipToNewestPosition(Stream& stream) {
    const uint32_t done = stream.seeksDone.load(std::memory_order_acquire);
    if (done == stream.seeksSkipped) return;
    const uint64_t at = stream.seekDoneAt.load(std::memory_order_relaxed);
    if (stream.read.load(std::memory_order_relaxed) < at) stream.read.store(at, std::memory_order_release);
    stream.seeksSkipped = done;
    stream.wakeups.fetch_add(1, std::memory_order_release);
    stream.wakeups.notify_one();
}

}  // namespace

void setStreamBufferMs(int ms) { streamBufferMs = std::clamp(ms, 1, 10000); }
void setStreamMixRate(int hz) { streamMixRate = hz; }

Stream* openStream(const char* fileName, unsigned mode, int offset, int length,
                   uint64_t startFrame) {
    Stream* stream = new (std::nothrow) Stream;
    if (stream == nullptr) {
        noteError(OutOfMemory);
        return nullptr;
    }
    stream->next = allStreams.load();
    while (!allStreams.compare_exchange_weak(stream->next, stream)) {
    }
    if (fileName == nullptr || offset != 0 || length != 0) {
        stream->state.store(InvalidParameter);
        return stream;
    }
    try {
        stream->fileName = fileName;
        stream->startFrame = startFrame;
        stream->mixRate = streamMixRate;
        const auto framesOf = [](int ms) { return size_t(int64_t(ms) * streamMixRate / 1000); };
        stream->readyFrames = std::max(framesOf(streamBufferMs), DecodeChunkFrames);
        stream->capacityFrames = std::max(framesOf(StreamAheadMs), stream->readyFrames);
        stream->ring.assign(2 * stream->capacityFrames, 0);
        // Detached: the thread lives until the music ends or the process exits.
        std::thread(decodeLoop, stream).detach();
        // A blocking open waits for the open only; the thread goes on decoding.
        if (!(mode & NonBlocking))
            while (stream->state.load() == -2) std::this_thread::yield();
    } catch (const std::bad_alloc&) {
        stream->state.store(OutOfMemory);
    } catch (const std::system_error&) {
        stream->state.store(OutOfMemory);
    }
    return stream;
}

int openState(Stream* stream) {
    if (stream == nullptr) return -1;
    const int state = stream->state.load();
    if (state != -2 && state != NoError) noteError(state);
    return state;
}

size_t framesReady(Stream* stream) {
    if (stream == nullptr || stream->state.load(std::memory_order_acquire) != NoError ||
        seekPending(*stream))
        return 0;
    skipToNewestPosition(*stream);
    return size_t(stream->written.load(std::memory_order_acquire) -
                  stream->read.load(std::memory_order_relaxed));
}

void requestStreamSeek(Stream* stream, uint64_t frame) {
    if (stream == nullptr) return;
    stream->seekFrame.store(frame, std::memory_order_relaxed);
    stream->seeksAsked.fetch_add(1, std::memory_order_release);
    stream->wakeups.fetch_add(1, std::memory_order_release);
    stream->wakeups.notify_one();
}

bool positionReady(Stream* stream, size_t frames) {
    if (stream == nullptr || stream->state.load(std::memory_order_acquire) != NoError) return true;
    if (seekPending(*stream)) return false;
    return framesReady(stream) >= frames || stream->decodeEnded.load(std::memory_order_acquire);
}

size_t readStream(Stream* stream, int16_t* out, size_t frames) {
    // While a seek is being carried out the ring holds audio from before it: none is given.
    if (stream == nullptr || stream->state.load(std::memory_order_acquire) != NoError ||
        seekPending(*stream))
        return 0;
    skipToNewestPosition(*stream);
    const uint64_t at = stream->read.load(std::memory_order_relaxed);
    const uint64_t available = stream->written.load(std::memory_order_acquire) - at;
    const size_t count = size_t(std::min<uint64_t>(available, frames));
    for (size_t i = 0; i < count; ++i) {
        const size_t slot = size_t((at + i) % stream->capacityFrames);
        out[2 * i] = stream->ring[2 * slot];
        out[2 * i + 1] = stream->ring[2 * slot + 1];
    }
    stream->read.store(at + count, std::memory_order_release);
    if (count > 0) {
        stream->wakeups.fetch_add(1, std::memory_order_release);
        stream->wakeups.notify_one();
    }
    return count;
}

bool streamFinished(Stream* stream) {
    if (stream == nullptr) return true;
    const int state = stream->state.load(std::memory_order_acquire);
    if (state == -2) return false;
    if (state != NoError) return true;
    return !seekPending(*stream) && stream->decodeEnded.load(std::memory_order_acquire) &&
           framesReady(stream) == 0;
}

}  // namespace sound
