#include "platform/sound_decoder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "platform/data_file.h"
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

// The library's reader over a MemoryFile.
mpg123_ssize_t readMemory(void* handle, void* out, size_t bytes) {
    auto& file = *static_cast<MemoryFile*>(handle);
    const size_t left = file.bytes.size() - size_t(file.position);
    const size_t count = std::min(bytes, left);
    std::memcpy(out, file.bytes.data() + file.position, count);
    file.position += int64_t(count);
    return mpg123_ssize_t(count);
}

off_t seekMemory(void* handle, off_t offset, int whence) {
    auto& file = *static_cast<MemoryFile*>(handle);
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? file.position
                                                                     : int64_t(file.bytes.size());
    const int64_t target = base + int64_t(offset);
    if (whence < SEEK_SET || whence > SEEK_END || target < 0 || target > int64_t(file.bytes.size()))
        return -1;
    file.position = target;
    return off_t(target);
}

// Makes `handle` read from `file`, rewound.
int openOnMemory(mpg123_handle* handle, MemoryFile& file) {
    file.position = 0;
    const int result = mpg123_replace_reader_handle(handle, readMemory, seekMemory, nullptr);
    return result == MPG123_OK ? mpg123_open_handle(handle, &file) : result;
}

// Reads the whole regular file `fileName` into `file`. Returns NoError or the error code.
int readWholeFile(const char* fileName, MemoryFile& file) {
    const int fd = openDataFileDescriptor(fileName);
    if (fd < 0) return errno == ENOMEM ? OutOfMemory : FileNotFound;
    struct stat info{};
    int error = fstat(fd, &info) == 0 ? NoError : ReadFailed;
    try {
        if (error == NoError && info.st_size > MaxFileBytes) error = OutOfMemory;
        if (error == NoError) file.bytes.resize(size_t(info.st_size));
        size_t filled = 0;
        while (error == NoError) {
            // The size may change while reading: grow in steps until the end is reached.
            if (filled == file.bytes.size()) {
                if (int64_t(filled) >= MaxFileBytes) {
                    error = OutOfMemory;
                    break;
                }
                file.bytes.resize(filled + 65536);
            }
            const ssize_t got = ::read(fd, file.bytes.data() + filled, file.bytes.size() - filled);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) error = ReadFailed;
            if (got <= 0) break;
            filled += size_t(got);
        }
        file.bytes.resize(filled);
    } catch (const std::bad_alloc&) {
        error = OutOfMemory;
    }
    ::close(fd);
    return error;
}

// Least bytes an MPEG audio frame takes (a 26-byte layer III frame is the smallest real one).
constexpr off_t MinFrameBytes = 16;

// True when the Xing/Info frame at the start claims more MPEG frames than the file can
// hold. With gapless decoding of a resampled stream the library walks the claimed frames
// one by one while it opens, so a claim of billions (a damaged or hostile file) would keep
// the open busy for minutes. Decodes the first frame only.
bool claimsImpossibleLength(MemoryFile& file) {
    int result = MPG123_OK;
    mpg123_handle* probe = mpg123_new(nullptr, &result);
    if (probe == nullptr) return false;
    mpg123_param(probe, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(probe, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    off_t claimed = -1;
    if (openOnMemory(probe, file) == MPG123_OK) {
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(probe, &rate, &channels, &encoding) == MPG123_OK)
            claimed = mpg123_framelength(probe);
        mpg123_close(probe);
    }
    mpg123_delete(probe);
    return claimed > off_t(file.bytes.size()) / MinFrameBytes + 1;
}

// True when MPEG audio frames follow the file's ID3v2 tags closely (see mpeg_frames.h).
bool holdsMpegFrames(const std::vector<uint8_t>& bytes) {
    return mpegFileSampleRate(bytes.data(), bytes.size()) != 0;
}

}  // namespace

int openDecoder(const char* fileName, int mixRate, Decoder& decoder) {
    static std::once_flag libraryStarted;
    std::call_once(libraryStarted, [] { mpg123_init(); });

    closeDecoder(decoder);
    auto file = std::unique_ptr<MemoryFile>(new (std::nothrow) MemoryFile);
    if (!file) return OutOfMemory;
    const int readError = readWholeFile(fileName, *file);
    if (readError != NoError) return readError;
    if (!holdsMpegFrames(file->bytes)) return UnknownFormat;

    int result = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &result);
    if (handle == nullptr) return result == MPG123_OUT_OF_MEM ? OutOfMemory : UnknownFormat;
    decoder.handle = handle;
    decoder.file = std::move(file);

    // Gapless: the encoder's delay and padding (from the LAME tag) are cut, so sample 0
    // is the first sample of the music. Quiet: no messages on stderr for damaged frames.
    // A stream length that cannot be true is ignored; the end is then found by decoding.
    long flags = MPG123_GAPLESS | MPG123_QUIET;
    if (claimsImpossibleLength(*decoder.file)) flags |= MPG123_IGNORE_STREAMLENGTH;
    mpg123_param(handle, MPG123_ADD_FLAGS, flags, 0.0);
    mpg123_format_none(handle);
    result = mpg123_format(handle, mixRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (result == MPG123_OK) result = openOnMemory(handle, *decoder.file);
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
    decoder.handle = nullptr;
    decoder.file.reset();
}

int seekDecoder(Decoder& decoder, uint64_t frame) {
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
