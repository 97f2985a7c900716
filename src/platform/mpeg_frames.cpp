#include "platform/mpeg_frames.h"

#include <algorithm>

namespace sound {

namespace {

// kbit/s by bitrate index 1..14: MPEG 1 layers I, II, III, then MPEG 2 and 2.5 layer I,
// layers II and III.
constexpr int Kbps[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr int Mpeg1Rates[3] = {44100, 48000, 32000};  // Hz; halved for MPEG 2, quartered for 2.5

// Version, layer, sample rate and mono: what stays the same through one stream.
bool sameStream(const uint8_t* a, const uint8_t* b) {
    return (a[1] & 0xfe) == (b[1] & 0xfe) && (a[2] & 0x0c) == (b[2] & 0x0c) &&
           ((a[3] & 0xc0) == 0xc0) == ((b[3] & 0xc0) == 0xc0);
}

bool chainStartsAt(const uint8_t* bytes, size_t size, size_t at, bool toEnd) {
    size_t frame = 0;
    for (size_t position = at, headers = 0;; position += frame, ++headers) {
        if (headers == MpegFramesInChain) return true;
        frame = position + 4 <= size ? mpegFrameBytes(bytes + position) : 0;
        if (frame == 0 || !sameStream(bytes + at, bytes + position)) {
            // Near the end of the file: a frame cut short, a trailing tag or junk.
            const size_t left = size - std::min(position, size);
            return toEnd && headers >= 2 && left < MpegLongestFrameBytes;
        }
    }
}

// Index of the first header of a chain within the first MpegScanBytes; `size` when none.
size_t chainStart(const uint8_t* bytes, size_t size, bool toEnd) {
    for (size_t at = 0; at < MpegScanBytes && at + 4 <= size; ++at)
        if (bytes[at] == 0xff && chainStartsAt(bytes, size, at, toEnd)) return at;
    return size;
}

}  // namespace

size_t id3v2TagBytes(const uint8_t* b, size_t size) {
    if (size < 10 || b[0] != 'I' || b[1] != 'D' || b[2] != '3' || b[3] == 0xff || b[4] == 0xff)
        return 0;
    size_t body = 0;
    for (int i = 6; i < 10; ++i) {
        if (b[i] & 0x80) return 0;  // sizes are stored 7 bits to a byte
        body = body << 7 | b[i];
    }
    const size_t footer = (b[5] & 0x10) != 0 ? 10 : 0;
    return 10 + body + footer;
}

long mpegSampleRate(const uint8_t* h) {
    if (mpegFrameBytes(h) == 0) return 0;
    const int version = (h[1] >> 3) & 3;
    return Mpeg1Rates[(h[2] >> 2) & 3] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
}

size_t mpegFrameBytes(const uint8_t* h) {
    if (h[0] != 0xff || (h[1] & 0xe0) != 0xe0) return 0;
    const int version = (h[1] >> 3) & 3;  // 0: MPEG 2.5, 1: reserved, 2: MPEG 2, 3: MPEG 1
    const int layer = 4 - ((h[1] >> 1) & 3);  // 4 (field 0) is reserved
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    const int padding = (h[2] >> 1) & 1;
    if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 ||
        (h[3] & 3) == 2)
        return 0;
    const bool mpeg1 = version == 3;
    const int table = mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4);
    const long bitrate = 1000L * Kbps[table][bitrateIndex];               // bit/s
    const long rate = Mpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);  // Hz
    if (layer == 1) return size_t((12 * bitrate / rate + padding) * 4);
    const long perFrame = layer == 3 && !mpeg1 ? 72 : 144;  // samples per frame / 8
    return size_t(perFrame * bitrate / rate + padding);
}

bool findMpegFrames(const uint8_t* bytes, size_t size, bool toEnd) {
    return chainStart(bytes, size, toEnd) < size;
}

long mpegFileSampleRate(const uint8_t* bytes, size_t size) {
    size_t start = 0;
    while (start < size) {
        const size_t tag = id3v2TagBytes(bytes + start, size - start);
        if (tag == 0) break;
        start += tag;
    }
    if (start >= size) return 0;
    const size_t probe = std::min(size - start, MpegProbeBytes);
    const size_t at = chainStart(bytes + start, probe, start + probe == size);
    return at < probe ? mpegSampleRate(bytes + start + at) : 0;
}

}  // namespace sound
