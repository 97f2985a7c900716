#include "platform/sound_decoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <new>
#include <vector>

#include "platform/mpeg_frames.h"
#include "platform/sound.h"

namespace sound {

namespace {

int errorOf(mpg123_handle* handle, int result) {
    const int code = result == MPG123_ERR && handle != nullptr ? mpg123_errcode(handle) : result;
    switch (code) {
    case MPG123_OUT_OF_MEM: return OutOfMemory;
    case MPG123_ERR_READER:
    case MPG123_BAD_FILE:
    case MPG123_NO_SEEK: return ReadFailed;
    default: return UnknownFormat;
    }
}

// Least bytes an MPEG audio frame takes (a 26-byte layer III frame is the smallest real one).
constexpr off_t MinFrameBytes = 16;

// True when the Xing/Info frame at the start claims more MPEG frames than the file can
// hold. With gapless decoding of a resampled stream the library walks the claimed frames
// one by one while it opens, so a claim of billions (a damaged or hostile file) would keep
// the open busy for minutes. Reads the first frame only; leaves `fd` at its start.
bool claimsImpossibleLength(int fd, off_t fileBytes) {
    int result = MPG123_OK;
    mpg123_handle* probe = mpg123_new(nullptr, &result);
    if (probe == nullptr) return false;
    mpg123_param(probe, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(probe, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    off_t claimed = -1;
    if (mpg123_open_fd(probe, fd) == MPG123_OK) {
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(probe, &rate, &channels, &encoding) == MPG123_OK)
            claimed = mpg123_framelength(probe);
        mpg123_close(probe);
    }
    mpg123_delete(probe);
    ::lseek(fd, 0, SEEK_SET);
    return claimed > fileBytes / MinFrameBytes + 1;
}

// True when MPEG audio frames follow the file's ID3v2 tags closely (see mpeg_frames.h).
// Unreadable files pass: the decoder reports why they cannot be read.
bool holdsMpegFrames(int fd, off_t fileBytes) {
    off_t start = 0;
    uint8_t head[10];
    while (::pread(fd, head, sizeof head, start) == ssize_t(sizeof head)) {
        const size_t tag = id3v2TagBytes(head, sizeof head);
        if (tag == 0) break;
        start += off_t(tag);
    }
    std::vector<uint8_t> probe(MpegProbeBytes);
    size_t got = 0;
    while (got < probe.size()) {
        const ssize_t n = ::pread(fd, probe.data() + got, probe.size() - got, start + off_t(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return true;
        if (n == 0) break;
        got += size_t(n);
    }
    return findMpegFrames(probe.data(), got, start + off_t(got) >= fileBytes);
}

}  // namespace

int openDecoder(const char* fileName, int mixRate, Decoder& decoder) {
    static std::once_flag libraryStarted;
    std::call_once(libraryStarted, [] { mpg123_init(); });

    decoder = Decoder{};
    const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOMEM ? OutOfMemory : FileNotFound;
    struct stat info{};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return FileNotFound;
    }
    if (S_ISREG(info.st_mode) && !holdsMpegFrames(fd, info.st_size)) {
        ::close(fd);
        return UnknownFormat;
    }

    int result = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &result);
    if (handle == nullptr) {
        ::close(fd);
        return result == MPG123_OUT_OF_MEM ? OutOfMemory : UnknownFormat;
    }
    decoder.handle = handle;
    decoder.fd = fd;

    // Gapless: the encoder's delay and padding (from the LAME tag) are cut, so sample 0
    // is the first sample of the music. Quiet: no messages on stderr for damaged frames.
    // A stream length that cannot be true is ignored; the end is then found by decoding.
    long flags = MPG123_GAPLESS | MPG123_QUIET;
    if (claimsImpossibleLength(fd, info.st_size)) flags |= MPG123_IGNORE_STREAMLENGTH;
    mpg123_param(handle, MPG123_ADD_FLAGS, flags, 0.0);
    mpg123_format_none(handle);
    result = mpg123_format(handle, mixRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (result == MPG123_OK) result = mpg123_open_fd(handle, fd);
    if (result == MPG123_OK) {
        long rate = 0;
        int channels = 0, encoding = 0;
        result = mpg123_getformat(handle, &rate, &channels, &encoding);
        // No frame before the end of the file: not MPEG audio at all (text, empty file).
        if (result == MPG123_DONE) result = MPG123_ERR_NULL;
    }
    if (result != MPG123_OK) {
        const int error = errorOf(handle, result);
        closeDecoder(decoder);
        return error;
    }
    return NoError;
}

void closeDecoder(Decoder& decoder) {
    if (decoder.handle != nullptr) {
        mpg123_close(decoder.handle);
        mpg123_delete(decoder.handle);
    }
    if (decoder.fd >= 0) ::close(decoder.fd);
    decoder = Decoder{};
}

int seekDecoder(Decoder& decoder, uint64_t frame) {
    if (frame == 0) return NoError;
    const off_t target = off_t(frame);
    const off_t reached = mpg123_seek(decoder.handle, target, SEEK_SET);
    if (reached < 0) return errorOf(decoder.handle, int(reached));
    return NoError;
}

DecodeResult decodeFrames(Decoder& decoder, int16_t* out, size_t frames) {
    constexpr size_t FrameBytes = 2 * sizeof(int16_t);
    DecodeResult result;
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    size_t filled = 0;
    while (filled < frames * FrameBytes) {
        size_t done = 0;
        const int status =
            mpg123_read(decoder.handle, bytes + filled, frames * FrameBytes - filled, &done);
        filled += done;
        if (status == MPG123_OK || status == MPG123_NEW_FORMAT) continue;
        result.ended = true;
        if (status != MPG123_DONE) result.error = errorOf(decoder.handle, status);
        break;
    }
    result.frames = filled / FrameBytes;
    return result;
}

int decodeFile(const char* fileName, int mixRate, std::vector<int16_t>& samples) {
    samples.clear();
    Decoder decoder;
    const int opened = openDecoder(fileName, mixRate, decoder);
    if (opened != NoError) return opened;
    constexpr size_t ChunkFrames = 16384;
    int error = NoError;
    try {
        for (;;) {
            const size_t at = samples.size();
            samples.resize(at + 2 * ChunkFrames);
            const DecodeResult got = decodeFrames(decoder, samples.data() + at, ChunkFrames);
            samples.resize(at + 2 * got.frames);
            if (got.ended) {
                error = got.error;
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        samples.clear();
        error = OutOfMemory;
    }
    closeDecoder(decoder);
    if (error == NoError && samples.empty()) error = UnknownFormat;
    return error;
}

}  // namespace sound
