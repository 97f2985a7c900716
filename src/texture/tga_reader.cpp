#include "texture/tga_reader.h"

#include "texture/tga_decode.h"
#include "texture/image_prefetch.h"
#include "platform/data_file.h"

#include <algorithm>
#include <new>

namespace {

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(std::FILE* file) : file_(file) {}
    size_t read(uint8_t* destination, size_t count) override {
        return std::fread(destination, 1, count, file_);
    }

private:
    std::FILE* file_;
};

// Header bytes of the load in progress; loads never overlap (main thread only).
uint8_t tgaHeader[TgaHeaderSize];

using Decoder = bool (*)(ByteSource&, TgaImage&, uint64_t);

// Most packet bytes an accepted image can take: one header byte per pixel plus 4 value
// bytes per pixel of the largest accepted buffer, with room to spare.
constexpr uint64_t MaxPacketBytes = 2 * MaxTgaImageBytes;

// The rest of the file from the current position (at most MaxPacketBytes), read in one
// piece; none when its size cannot be told or the memory is not there.
struct FileRest {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
};

FileRest readRest(std::FILE* file) {
    FileRest rest;
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0) return rest;
    const long end = std::ftell(file);
    if (end < position || std::fseek(file, position, SEEK_SET) != 0) return rest;
    const size_t wanted = size_t(std::min<uint64_t>(uint64_t(end - position), MaxPacketBytes));
    rest.bytes.reset(new (std::nothrow) uint8_t[wanted]);
    if (rest.bytes) rest.size = std::fread(rest.bytes.get(), 1, wanted, file);
    return rest;
}

// Decodes the rest of an open file of the given accepted kind into `image` and closes the
// file. True when the whole image arrived.
bool decodeOpenFile(TgaKind kind, std::FILE* file, TgaImage& image) {
    const Decoder decode = kind == TgaKind::Compressed ? decodeCompressedTga : decodeUncompressedTga;
    bool complete = false;
    // Packets are a few bytes each: decode them from memory, not one fread at a time.
    const FileRest rest = kind == TgaKind::Compressed ? readRest(file) : FileRest{};
    if (rest.bytes) {
        MemoryByteSource source(rest.bytes.get(), rest.size);
        complete = decode(source, image, MaxTgaImageBytes);
    } else {
        // Uncompressed: two reads, the image information, then all pixels straight into
        // their buffer. Also the way for a file whose size cannot be told.
        FileByteSource source(file);
        complete = decode(source, image, MaxTgaImageBytes);
    }
    std::fclose(file);
    return complete;
}

bool readWith(TgaKind kind, Texture& texture, std::FILE* file) {
    TgaImage image;
    const bool complete = decodeOpenFile(kind, file, image);
    texture.width = image.width;
    texture.height = image.height;
    texture.bitsPerPixel = image.bitsPerPixel;
    texture.format = image.format;
    texture.pixels = std::move(image.pixels);
    return complete;
}

}  // namespace

bool readUncompressedTga(Texture& texture, std::FILE* file) {
    return readWith(TgaKind::Uncompressed, texture, file);
}

bool readCompressedTga(Texture& texture, std::FILE* file) {
    return readWith(TgaKind::Compressed, texture, file);
}

TgaFile readTgaFile(const std::string& fileName) {
    TgaFile result;
    std::FILE* file = openDataFile(fileName);
    if (file == nullptr) return result;
    uint8_t header[TgaHeaderSize];
    if (std::fread(header, sizeof header, 1, file) != 1) {
        std::fclose(file);
        return result;
    }
    result.headerRead = true;
    result.kind = classifyTgaHeader(header);
    if (result.kind == TgaKind::Refused) {
        std::fclose(file);
        return result;
    }
    decodeOpenFile(result.kind, file, result.image);
    return result;
}

std::unique_ptr<Texture> loadTga(const std::string& fileName) {
    if (std::optional<TgaFile> decoded = takePrefetchedImage(fileName)) {
        // Decoded ahead of time: the record is made as a direct load would make it.
        if (!decoded->headerRead) return nullptr;
        auto texture = std::make_unique<Texture>(fileName);
        if (decoded->kind == TgaKind::Refused) return nullptr;  // gives its GL name back
        texture->width = decoded->image.width;
        texture->height = decoded->image.height;
        texture->bitsPerPixel = decoded->image.bitsPerPixel;
        texture->format = decoded->image.format;
        texture->pixels = std::move(decoded->image.pixels);
        return texture;
    }
    std::FILE* file = openDataFile(fileName);
    if (file == nullptr) return nullptr;
    if (std::fread(tgaHeader, sizeof tgaHeader, 1, file) != 1) {
        std::fclose(file);
        return nullptr;
    }
    auto texture = std::make_unique<Texture>(fileName);
    switch (classifyTgaHeader(tgaHeader)) {
        case TgaKind::Uncompressed:
            readUncompressedTga(*texture, file);  // a partial read still yields the record
            return texture;
        case TgaKind::Compressed:
            readCompressedTga(*texture, file);
            return texture;
        case TgaKind::Refused:
            break;
    }
    texture.reset();  // gives its GL name back
    std::fclose(file);
    return nullptr;
}
