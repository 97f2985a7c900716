#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

// Decoding of the accepted TGA subset (true colour, uncompressed type 2 or run-length
// encoded type 10, 24 or 32 bits, no image ID, no colour map, zero origin) from any byte
// source. No GL calls: the loader wraps this around a FILE, tests and fuzzers around memory.

// Where the bytes come from. read() returns the number of bytes delivered (short at end).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual size_t read(uint8_t* destination, size_t count) = 0;
};

class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t read(uint8_t* destination, size_t count) override;

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

inline constexpr size_t TgaHeaderSize = 12;         // bytes compared with the templates
inline constexpr size_t TgaImageInfoSize = 6;       // width, height, depth, descriptor

// Largest decoded pixel buffer accepted, in bytes (4096 x 4096 RGBA). A header may declare
// up to 65535 x 65535 x 4 bytes (17 GB) in a file of a few bytes; such sizes are refused
// like a failed allocation (size, depth and format kept, no pixels) rather than allocated.
inline constexpr uint64_t MaxTgaImageBytes = 64ull * 1024 * 1024;

enum class TgaKind { Uncompressed, Compressed, Refused };

// Compares the first 12 file bytes with the two accepted header templates.
TgaKind classifyTgaHeader(const uint8_t* header);

// The image fields a reader fills in, as far as it gets.
struct TgaImage {
    uint32_t width = 0;          // pixels, 0 until read
    uint32_t height = 0;         // pixels, 0 until read
    uint32_t bitsPerPixel = 0;   // 24 or 32 for a usable image, 0 until read
    uint32_t format = 0;         // GL_RGB or GL_RGBA once the depth is accepted, else 0
    std::unique_ptr<uint8_t[]> pixels;  // width*height*bytesPerPixel, R G B (A), rows in file order
};

// Both read from `source` positioned just behind the 12 header bytes and return true when
// every pixel arrived. On a cut-short stream the buffer keeps what arrived and is zero
// elsewhere; nothing is ever written outside it. `maxBytes` bounds the buffer size.
bool decodeUncompressedTga(ByteSource& source, TgaImage& image, uint64_t maxBytes = MaxTgaImageBytes);
bool decodeCompressedTga(ByteSource& source, TgaImage& image, uint64_t maxBytes = MaxTgaImageBytes);
