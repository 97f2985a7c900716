#include "texture/tga_decode.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint8_t UncompressedTgaHeader[TgaHeaderSize] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t CompressedTgaHeader[TgaHeaderSize] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Reads the image information (the header's last six bytes), stores size and depth, checks
// them, sets the format and allocates the pixel buffer (not cleared: the decoders fill it,
// or clear what a cut-short stream left unwritten). Returns the buffer size in bytes, or 0 on failure.
size_t beginImage(ByteSource& source, TgaImage& image, uint64_t maxBytes) {
    uint8_t imageInfo[TgaImageInfoSize];
    if (source.read(imageInfo, sizeof imageInfo) != sizeof imageInfo) return 0;
    image.width = imageInfo[0] | (imageInfo[1] << 8);
    image.height = imageInfo[2] | (imageInfo[3] << 8);
    image.bitsPerPixel = imageInfo[4];
    // imageInfo[5], the image descriptor, has no effect: rows stay in file order.
    if (image.width == 0 || image.height == 0) return 0;
    if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32) return 0;
    image.format = image.bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    const uint64_t bytes = uint64_t{image.width} * image.height * (image.bitsPerPixel / 8);
    if (bytes > maxBytes) return 0;
    image.pixels.reset(new (std::nothrow) uint8_t[bytes]);
    return image.pixels ? static_cast<size_t>(bytes) : 0;
}

// Stores one file pixel value (B G R (A)) as R G B (A).
void putPixel(uint8_t* destination, const uint8_t* value, size_t bytesPerPixel) {
    destination[0] = value[2];
    destination[1] = value[1];
    destination[2] = value[0];
    if (bytesPerPixel == 4) destination[3] = value[3];
}

// Clears the buffer from byte `from` on and reports the failure of a cut-short stream.
bool failFrom(TgaImage& image, size_t from, size_t bytes) {
    std::memset(image.pixels.get() + from, 0, bytes - from);
    return false;
}

}  // namespace

size_t MemoryByteSource::read(uint8_t* destination, size_t count) {
    const size_t n = std::min(count, size_ - position_);
    if (n > 0) std::memcpy(destination, data_ + position_, n);
    position_ += n;
    return n;
}

TgaKind classifyTgaHeader(const uint8_t* header) {
    if (std::memcmp(header, UncompressedTgaHeader, TgaHeaderSize) == 0) return TgaKind::Uncompressed;
    if (std::memcmp(header, CompressedTgaHeader, TgaHeaderSize) == 0) return TgaKind::Compressed;
    return TgaKind::Refused;
}

bool decodeUncompressedTga(ByteSource& source, TgaImage& image, uint64_t maxBytes) {
    const size_t bytes = beginImage(source, image, maxBytes);
    if (bytes == 0) return false;
    // A short read leaves the data unswapped (B G R order) and the rest zero.
    const size_t arrived = source.read(image.pixels.get(), bytes);
    if (arrived != bytes) return failFrom(image, arrived, bytes);
    const size_t bytesPerPixel = image.bitsPerPixel / 8;
    for (size_t i = 0; i < bytes; i += bytesPerPixel) std::swap(image.pixels[i], image.pixels[i + 2]);
    return true;
}

bool decodeCompressedTga(ByteSource& source, TgaImage& image, uint64_t maxBytes) {
    const size_t bytes = beginImage(source, image, maxBytes);
    if (bytes == 0) return false;
    const size_t bytesPerPixel = image.bitsPerPixel / 8;
    const size_t pixelCount = bytes / bytesPerPixel;
    size_t written = 0;  // pixels decoded so far
    uint8_t value[4];
    const auto fail = [&] { return failFrom(image, written * bytesPerPixel, bytes); };
    while (written < pixelCount) {
        uint8_t header = 0;
        if (source.read(&header, 1) != 1) return fail();
        const size_t packetPixels = (header & 0x7F) + 1u;  // 1..128
        const bool run = (header & 0x80) != 0;
        if (run && source.read(value, bytesPerPixel) != bytesPerPixel) return fail();
        for (size_t k = 0; k < packetPixels; ++k) {
            if (!run && source.read(value, bytesPerPixel) != bytesPerPixel) return fail();
            if (written == pixelCount) return false;  // packet runs past the image
            putPixel(&image.pixels[written * bytesPerPixel], value, bytesPerPixel);
            ++written;
        }
    }
    return true;
}
