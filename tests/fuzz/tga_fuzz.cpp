// Feeds arbitrary files to the TGA decoders. Both decoders see every input (not only those
// whose first 12 bytes match a template) so the fuzzer need not find the header first.
#include <GL/gl.h>

#include <cstddef>
#include <cstdint>

#include "texture/tga_decode.h"

namespace {

// Smaller than the loader's cap to keep executions fast; the size check is the same code.
constexpr uint64_t FuzzMaxImageBytes = 1 << 18;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

void decodeWith(bool (*decode)(ByteSource&, TgaImage&, uint64_t), const uint8_t* data, size_t size) {
    MemoryByteSource source(data, size);
    TgaImage image;
    const bool complete = decode(source, image, FuzzMaxImageBytes);
    if (image.pixels) {
        check(image.format == GL_RGB || image.format == GL_RGBA);
        const uint64_t bytes = uint64_t{image.width} * image.height * (image.bitsPerPixel / 8);
        check(bytes <= FuzzMaxImageBytes);
        volatile uint8_t sink = 0;
        for (uint64_t i = 0; i < bytes; i += 61) sink = sink + image.pixels[i];  // all readable
        check(image.pixels[bytes - 1] == image.pixels[bytes - 1]);
    }
    if (complete) check(image.pixels != nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < TgaHeaderSize) return 0;
    classifyTgaHeader(data);
    decodeWith(decodeUncompressedTga, data + TgaHeaderSize, size - TgaHeaderSize);
    decodeWith(decodeCompressedTga, data + TgaHeaderSize, size - TgaHeaderSize);
    return 0;
}
