#include "data_files.h"
#include "tga_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <unistd.h>

namespace {

const std::string DataDir = DATAGEN_OUTPUT_DIR;

struct Expected {
    int width, height, bits, type;
    bool topDown;
    bool opaque;  // alpha 255 everywhere (pictures drawn as colour times alpha)
};

const std::map<std::string, Expected>& expectedImages() {
    static const std::map<std::string, Expected> table = {
        {"start.tga", {1024, 512, 24, 10, false, true}},
        {"1.tga", {512, 512, 32, 10, false, true}},
        {"2.tga", {512, 512, 24, 10, false, true}},
        {"3.tga", {512, 512, 32, 2, false, true}},
        {"4.tga", {512, 512, 24, 10, false, true}},
        {"5.tga", {512, 512, 24, 2, false, true}},
        {"ruxo1.tga", {512, 256, 24, 2, false, true}},
        {"ruxo2.tga", {512, 256, 24, 10, false, true}},
        {"ruxo3.tga", {512, 256, 32, 2, false, true}},
        {"ruxo4.tga", {512, 256, 24, 2, false, true}},
        {"ruxo5.tga", {512, 256, 32, 10, false, true}},
        {"greetings.tga", {1024, 512, 24, 10, false, true}},
        {"lumenkarp.tga", {1024, 512, 32, 10, false, true}},
        {"texture.tga", {256, 256, 24, 2, false, true}},
        {"blueTex.tga", {256, 256, 24, 10, false, true}},
        {"divozed.tga", {128, 128, 32, 10, false, false}},
        {"font.tga", {256, 256, 32, 2, true, false}},
    };
    return table;
}

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

TEST(DataFiles, EveryImageDecodesWithItsSizeDepthAndType) {
    int types[11] = {}, depths[33] = {};
    for (const auto& [name, e] : expectedImages()) {
        SCOPED_TRACE(name);
        const TgaFile t = readTga(DataDir + "/" + name);
        ASSERT_TRUE(t.ok) << t.error;
        EXPECT_EQ(t.width, e.width);
        EXPECT_EQ(t.height, e.height);
        EXPECT_EQ(t.bits, e.bits);
        EXPECT_EQ(t.type, e.type);
        EXPECT_TRUE(powerOfTwo(t.width) && powerOfTwo(t.height));
        EXPECT_EQ((t.descriptor & 0x20) != 0, e.topDown);
        EXPECT_EQ(t.descriptor & 0x0F, t.bits == 32 ? 8 : 0);
        ++types[t.type];
        ++depths[t.bits];
        if (t.bits == 32 && e.opaque) {
            size_t translucent = 0;
            for (size_t i = 3; i < t.pixels.size(); i += 4) translucent += t.pixels[i] != 255;
            EXPECT_EQ(translucent, 0u);
        }
        // A picture, not a flat fill: the stored pixels vary.
        EXPECT_NE(std::count(t.pixels.begin(), t.pixels.end(), t.pixels[0]), long(t.pixels.size()));
    }
    // Both readers and both depths meet real data.
    EXPECT_GT(types[2], 0);
    EXPECT_GT(types[10], 0);
    EXPECT_GT(depths[24], 0);
    EXPECT_GT(depths[32], 0);
}

TEST(DataFiles, GeneratorListsExactlyTheFilesTheShowReads) {
    std::vector<std::string> listed;
    for (const DataFile& f : dataFiles()) listed.push_back(f.name);
    for (const auto& [name, e] : expectedImages())
        EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
    EXPECT_EQ(listed.size(), expectedImages().size() + 2);  // plus fonts.data and music.mp3
    for (const std::string& n : listed) EXPECT_TRUE(std::filesystem::exists(DataDir + "/" + n)) << n;
}

// Coverage (alpha) of the font image at (x, y), y from the top of the glyph grid.
int fontAlpha(const TgaFile& font, int x, int y) {
    return font.pixels[(size_t(y) * size_t(font.width) + size_t(x)) * 4 + 3];
}

TEST(FontImage, EachGlyphStaysInsideItsCellWithAnEmptyBorder) {
    const TgaFile font = readTga(DataDir + "/font.tga");
    ASSERT_TRUE(font.ok) << font.error;
    ASSERT_EQ(font.width, 256);
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 16; ++col) {
            const int code = (row % 8) * 16 + col + 32;
            const bool used = row % 8 < 6 && code > 32 && code < 127;
            int inside = 0, border = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const int a = fontAlpha(font, col * 16 + x, row * 16 + y);
                    const bool edge = x == 0 || y == 0 || x == 15 || y == 15;
                    (edge ? border : inside) += a;
                    // White glyphs: colour is white wherever there is coverage.
                    if (a > 0) {
                        const size_t p = (size_t(row * 16 + y) * 256 + size_t(col * 16 + x)) * 4;
                        ASSERT_EQ(font.pixels[p] + font.pixels[p + 1] + font.pixels[p + 2], 3 * 255);
                    }
                }
            SCOPED_TRACE("grid row " + std::to_string(row) + " column " + std::to_string(col));
            EXPECT_EQ(border, 0);
            if (used) EXPECT_GT(inside, 255 * 2);
            else EXPECT_EQ(inside, 0);
        }
}

TEST(FontImage, CapitalAIsUprightInItsCell) {
    // Stored top row first: the apex of "A" (narrow) lies above its legs (wide).
    const TgaFile font = readTga(DataDir + "/font.tga");
    ASSERT_TRUE(font.ok);
    const int cx = ('A' % 16) * 16, cy = ('A' / 16 - 2) * 16;
    int top = -1, bottom = -1;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (fontAlpha(font, cx + x, cy + y) > 128) { if (top < 0) top = y; bottom = y; }
    ASSERT_GE(top, 0);
    auto width = [&](int y) {
        int first = -1, last = -1;
        for (int x = 0; x < 16; ++x)
            if (fontAlpha(font, cx + x, cy + y) > 128) { if (first < 0) first = x; last = x; }
        return last - first;
    };
    EXPECT_LT(width(top), width(bottom));
    EXPECT_GE(bottom - top, 8);  // a readable glyph, not a speck
}

TEST(FontTable, NamesTheFontImageWithItsSpacing) {
    const std::vector<uint8_t> bytes = readBytes(DataDir + "/fonts.data");
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("mapfile xspace yspace\n", 0), 0u);
    EXPECT_NE(text.find("\ndata/font.tga "), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(DataDir + "/font.tga"));
}

TEST(Generator, TwoRunsWriteTheSameBytes) {
    // A subset that exercises every kind of generator: ray-marched photo, painted picture,
    // text card, texture, font, table and the whole soundtrack with its encoder.
    const std::vector<std::string> subset = {"ruxo4.tga", "3.tga", "greetings.tga", "blueTex.tga",
                                             "font.tga", "fonts.data", "music.mp3"};
    const auto base = std::filesystem::temp_directory_path() / ("datagen_test_" + std::to_string(::getpid()));
    generateFiles((base / "a").string(), subset, 2);
    generateFiles((base / "b").string(), subset, 1);
    for (const std::string& name : subset) {
        const auto a = readBytes((base / "a" / name).string());
        const auto b = readBytes((base / "b" / name).string());
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between runs";
        // The build's own copy was made by the same generator.
        EXPECT_TRUE(a == readBytes(DataDir + "/" + name)) << name << " differs from the build's";
    }
    std::filesystem::remove_all(base);
}

TEST(Generator, RefusesUnknownNames) {
    EXPECT_THROW(generateFiles(std::filesystem::temp_directory_path().string(), {"nope.tga"}, 1),
                 std::invalid_argument);
}

}  // namespace
