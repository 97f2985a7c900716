#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "texture/texture.h"
#include "texture/tga_decode.h"

// Loads a TGA file of the accepted subset (see tga_decode.h). Returns none when the file
// cannot be opened, is shorter than 12 bytes or matches neither header template; otherwise
// a record filled as far as the file allowed (no pixels when the image was refused).
std::unique_ptr<Texture> loadTga(const std::string& fileName);

// Both read from `file`, positioned just behind the 12 header bytes, into `texture`, and
// close the file on every path. True when the whole image arrived.
bool readUncompressedTga(Texture& texture, std::FILE* file);
bool readCompressedTga(Texture& texture, std::FILE* file);

// What a load learns from a file without GL: whether 12 header bytes were there, which
// template they matched, and the image as far as it was decoded. Safe on any thread (it
// uses a header buffer of its own).
struct TgaFile {
    bool headerRead = false;
    TgaKind kind = TgaKind::Refused;
    TgaImage image;
};
TgaFile readTgaFile(const std::string& fileName);
