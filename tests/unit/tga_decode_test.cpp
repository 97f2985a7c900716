#include <gtest/gtest.h>

#include <GL/gl.h>

#include "../support/tga_bytes.h"
#include "texture/tga_decode.h"

using testdata::Bytes;
using testdata::tgaHeader;
using testdata::operator+;

namespace {

struct Decoded {
    TgaKind kind = TgaKind::Refused;
    bool complete = false;
    TgaImage image;

    Bytes pixels() const {
        if (!image.pixels) return {};
        const size_t n = size_t{image.width} * image.height * (image.bitsPerPixel / 8);
        return Bytes(image.pixels.get(), image.pixels.get() + n);
    }
};

// Runs a whole file through the decoder the way the loader does.
Decoded decode(const Bytes& file, uint64_t maxBytes = MaxTgaImageBytes) {
    Decoded result;
    if (file.size() < TgaHeaderSize) return result;
    result.kind = classifyTgaHeader(file.data());
    MemoryByteSource source(file.data() + TgaHeaderSize, file.size() - TgaHeaderSize);
    if (result.kind == TgaKind::Uncompressed) result.complete = decodeUncompressedTga(source, result.image, maxBytes);
    if (result.kind == TgaKind::Compressed) result.complete = decodeCompressedTga(source, result.image, maxBytes);
    return result;
}

}  // namespace

TEST(TgaDecode, WorkedExamplesOfBothTypesAndDepths) {
    Decoded raw24 = decode(tgaHeader(2, 2, 1, 24) + Bytes{1, 2, 3, 4, 5, 6} + Bytes{9, 9, 9});
    EXPECT_TRUE(raw24.complete);
    EXPECT_EQ(raw24.image.width, 2u);
    EXPECT_EQ(raw24.image.height, 1u);
    EXPECT_EQ(raw24.image.bitsPerPixel, 24u);
    EXPECT_EQ(raw24.image.format, unsigned(GL_RGB));
    EXPECT_EQ(raw24.pixels(), (Bytes{3, 2, 1, 6, 5, 4}));

    Decoded raw32 = decode(tgaHeader(2, 2, 1, 32) + Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_TRUE(raw32.complete);
    EXPECT_EQ(raw32.image.format, unsigned(GL_RGBA));
    EXPECT_EQ(raw32.pixels(), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));

    Decoded run32 = decode(tgaHeader(10, 4, 1, 32) + Bytes{0x83, 0x10, 0x20, 0x30, 0x40});
    EXPECT_TRUE(run32.complete);
    EXPECT_EQ(run32.pixels(), (Bytes{0x30, 0x20, 0x10, 0x40, 0x30, 0x20, 0x10, 0x40,
                                     0x30, 0x20, 0x10, 0x40, 0x30, 0x20, 0x10, 0x40}));

    // A raw packet of one pixel, a run of two, then a footer that is never read.
    Decoded mixed24 = decode(tgaHeader(10, 3, 1, 24) + Bytes{0, 1, 2, 3, 0x81, 4, 5, 6} +
                             Bytes{0x7F, 0xEE, 0xEE});
    EXPECT_TRUE(mixed24.complete);
    EXPECT_EQ(mixed24.pixels(), (Bytes{3, 2, 1, 6, 5, 4, 6, 5, 4}));
}

TEST(TgaDecode, PacketHeadersCoverOneTo128Pixels) {
    Bytes rawData{0x7F};
    Bytes rawExpected;
    for (uint8_t i = 0; i < 128; ++i) {
        rawData.insert(rawData.end(), {i, uint8_t(i + 1), uint8_t(i + 2)});
        rawExpected.insert(rawExpected.end(), {uint8_t(i + 2), uint8_t(i + 1), i});
    }
    Decoded raw = decode(tgaHeader(10, 128, 1, 24) + rawData);
    EXPECT_TRUE(raw.complete);
    EXPECT_EQ(raw.pixels(), rawExpected);

    Decoded run = decode(tgaHeader(10, 128, 1, 24) + Bytes{0xFF, 7, 8, 9});
    EXPECT_TRUE(run.complete);
    for (size_t p = 0; p < 128; ++p) EXPECT_EQ(run.image.pixels[p * 3], 9) << p;

    Decoded single = decode(tgaHeader(10, 2, 1, 24) + Bytes{0x80, 1, 1, 1, 0x80, 2, 2, 2});
    EXPECT_TRUE(single.complete);
    EXPECT_EQ(single.pixels(), (Bytes{1, 1, 1, 2, 2, 2}));
}

TEST(TgaDecode, PacketsRunningPastTheImageStopAtItsEnd) {
    // 3 pixels declared; a raw packet carries 5 and a run carries 3 more than fit.
    Decoded raw = decode(tgaHeader(10, 3, 1, 24) +
                         Bytes{0x04, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5});
    EXPECT_FALSE(raw.complete);
    EXPECT_EQ(raw.pixels(), (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3}));

    Decoded run = decode(tgaHeader(10, 3, 1, 32) + Bytes{0x80, 1, 2, 3, 4, 0x82, 5, 6, 7, 8});
    EXPECT_FALSE(run.complete);
    EXPECT_EQ(run.pixels(), (Bytes{3, 2, 1, 4, 7, 6, 5, 8, 7, 6, 5, 8}));
}

TEST(TgaDecode, OnlyTheTwoHeaderTemplatesAreAccepted) {
    const Bytes valid = tgaHeader(2, 1, 1, 24) + Bytes{1, 2, 3};
    EXPECT_EQ(decode(valid).kind, TgaKind::Uncompressed);
    EXPECT_EQ(decode(tgaHeader(10, 1, 1, 24)).kind, TgaKind::Compressed);
    for (uint8_t type : {1, 3, 9, 11}) EXPECT_EQ(decode(tgaHeader(type, 1, 1, 24)).kind, TgaKind::Refused) << int(type);
    for (size_t offset : {0, 1, 3, 5, 7, 8, 10, 11}) {  // ID length, colour map fields, origins
        Bytes altered = valid;
        altered[offset] = 1;
        EXPECT_EQ(decode(altered).kind, TgaKind::Refused) << offset;
    }
}

TEST(TgaDecode, ShortFilesKeepWhatArrivedAndZeroTheRest) {
    // Exactly the 12 template bytes, then only part of the image information: nothing is set.
    Bytes twelve = tgaHeader(2, 2, 2, 24);
    twelve.resize(12);
    for (size_t extra : {0, 3}) {
        Bytes file = twelve + Bytes(extra, 7);
        Decoded d = decode(file);
        EXPECT_FALSE(d.complete);
        EXPECT_EQ(d.image.width, 0u);
        EXPECT_EQ(d.image.height, 0u);
        EXPECT_EQ(d.image.bitsPerPixel, 0u);
        EXPECT_EQ(d.image.format, 0u);
        EXPECT_FALSE(d.image.pixels);
    }

    // Type 2 cut inside the pixel data: the bytes stay as in the file (no swap), zero after.
    Decoded raw = decode(tgaHeader(2, 2, 1, 24) + Bytes{1, 2, 3, 4});
    EXPECT_FALSE(raw.complete);
    EXPECT_EQ(raw.image.format, unsigned(GL_RGB));
    EXPECT_EQ(raw.pixels(), (Bytes{1, 2, 3, 4, 0, 0}));

    // Type 10 without a further packet header, and with a pixel value cut short.
    Decoded noHeader = decode(tgaHeader(10, 3, 1, 24) + Bytes{0x80, 1, 2, 3});
    EXPECT_FALSE(noHeader.complete);
    EXPECT_EQ(noHeader.pixels(), (Bytes{3, 2, 1, 0, 0, 0, 0, 0, 0}));
    Decoded cutValue = decode(tgaHeader(10, 2, 1, 32) + Bytes{0x01, 1, 2, 3, 4, 5, 6});
    EXPECT_FALSE(cutValue.complete);
    EXPECT_EQ(cutValue.pixels(), (Bytes{3, 2, 1, 4, 0, 0, 0, 0}));
}

TEST(TgaDecode, UnusableSizesAndDepthsGiveNoPixels) {
    Decoded sixteen = decode(tgaHeader(2, 4, 3, 16) + Bytes(24, 1));
    EXPECT_FALSE(sixteen.complete);
    EXPECT_EQ(sixteen.image.width, 4u);
    EXPECT_EQ(sixteen.image.height, 3u);
    EXPECT_EQ(sixteen.image.bitsPerPixel, 16u);
    EXPECT_EQ(sixteen.image.format, 0u);
    EXPECT_FALSE(sixteen.image.pixels);

    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}}) {
        Decoded empty = decode(tgaHeader(10, uint16_t(w), uint16_t(h), 32) + Bytes{0x80, 1, 2, 3, 4});
        EXPECT_FALSE(empty.complete);
        EXPECT_EQ(empty.image.width, unsigned(w));
        EXPECT_EQ(empty.image.height, unsigned(h));
        EXPECT_EQ(empty.image.format, 0u);
        EXPECT_FALSE(empty.image.pixels);
    }

    // 65535 x 65535 RGBA (17 GB) declared in a tiny file: refused without allocating.
    for (uint8_t type : {2, 10}) {
        Decoded huge = decode(tgaHeader(type, 65535, 65535, 32) + Bytes{0xFF, 1, 2, 3, 4});
        EXPECT_FALSE(huge.complete);
        EXPECT_EQ(huge.image.width, 65535u);
        EXPECT_EQ(huge.image.format, unsigned(GL_RGBA));
        EXPECT_FALSE(huge.image.pixels);
    }
    // The cap is inclusive: an image of exactly the cap decodes.
    Decoded atCap = decode(tgaHeader(10, 2, 2, 24) + Bytes{0x83, 1, 2, 3}, 12);
    EXPECT_TRUE(atCap.complete);
    EXPECT_FALSE(decode(tgaHeader(10, 2, 2, 24) + Bytes{0x83, 1, 2, 3}, 11).image.pixels);
}

TEST(TgaDecode, TopLeftOriginKeepsRowsInFileOrder) {
    // Descriptor 0x20 marks a top-left origin; the rows are not flipped.
    Decoded d = decode(tgaHeader(2, 1, 2, 24, 0x20) + Bytes{10, 20, 30, 40, 50, 60});
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(d.pixels(), (Bytes{30, 20, 10, 60, 50, 40}));
}
