#include "texture/tga_reader.h"

#include "texture/tga_decode.h"

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

bool readWith(Decoder decode, Texture& texture, std::FILE* file) {
    FileByteSource source(file);
    TgaImage image;
    const bool complete = decode(source, image, MaxTgaImageBytes);
    std::fclose(file);
    texture.width = image.width;
    texture.height = image.height;
    texture.bitsPerPixel = image.bitsPerPixel;
    texture.format = image.format;
    texture.pixels = std::move(image.pixels);
    return complete;
}

}  // namespace

bool readUncompressedTga(Texture& texture, std::FILE* file) {
    return readWith(decodeUncompressedTga, texture, file);
}

bool readCompressedTga(Texture& texture, std::FILE* file) {
    return readWith(decodeCompressedTga, texture, file);
}

std::unique_ptr<Texture> loadTga(const std::string& fileName) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
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
