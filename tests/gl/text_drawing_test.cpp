#include "../support/tga_bytes.h"
#include "font/font_manager.h"
#include "font/text_drawing.h"
#include "gl_fixture.h"
#include "render/overlay.h"
#include "texture/texture_manager.h"

#include <algorithm>

using testdata::Bytes;

namespace {

// A 256 x 256 font image, green everywhere except the normal 'b' cell (column 2, row 4)
// in blue and the alternate 'b' cell (column 2, row 12) in red. File rows run top-down
// in texture space: the first row stored is t = 0, the top edge of the glyphs.
Bytes fontImage() {
    Bytes file = testdata::tgaHeader(2, 256, 256, 32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int column = x / 16, row = y / 16;
            uint8_t r = 0, g = 255, b = 0;
            if (column == 2 && row == 4) g = 0, b = 255;
            if (column == 2 && row == 12) g = 0, r = 255;
            file.insert(file.end(), {b, g, r, 255});
        }
    return file;
}

class TextDrawingTest : public GlTest {
protected:
    void SetUp() override {
        createContext(320, 200);  // one pixel per overlay unit
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
    }

    bool frameIsBlack() const {
        const std::vector<uint8_t> rgba = context->readPixelsTopDown();
        for (size_t i = 0; i < rgba.size(); i += 4)
            if (rgba[i] | rgba[i + 1] | rgba[i + 2]) return false;
        return true;
    }

    testdata::ScratchDir dir;
};

using Rgb = std::array<uint8_t, 3>;
Rgb rgb(const std::array<uint8_t, 4>& p) { return {p[0], p[1], p[2]}; }

}  // namespace

TEST_F(TextDrawingTest, GlyphsLandInTheirCellsWithTheAlternateSet) {
    testdata::writeFile("data/font.tga", fontImage());
    testdata::writeText("data/fonts.data", "mapfile xspace yspace\ndata/font.tga 0 4\n");
    beginOverlay();  // nested inside a caller's overlay, as the opening scene does
    drawText(20, 20, 400, 400, "a<b>c\nb");
    endOverlay();
    const Rgb green{0, 255, 0}, red{255, 0, 0}, blue{0, 0, 255}, black{0, 0, 0};
    EXPECT_EQ(rgb(pixelAt(28, 28)), green);
    EXPECT_EQ(rgb(pixelAt(44, 28)), red);
    EXPECT_EQ(rgb(pixelAt(60, 28)), green);
    EXPECT_EQ(rgb(pixelAt(76, 28)), black);
    EXPECT_EQ(rgb(pixelAt(28, 48)), blue);  // next line: 16 + yspace 4 lower
    EXPECT_EQ(rgb(pixelAt(28, 38)), black);
    EXPECT_EQ(rgb(pixelAt(19, 28)), black);
}

TEST_F(TextDrawingTest, EmptyTextSetsBlendingAndBindsTheFontButDrawsNothing) {
    testdata::writeFile("data/font.tga", fontImage());
    testdata::writeText("data/fonts.data", "mapfile xspace yspace\ndata/font.tga 0 0\n");
    const GLint projection = glInteger(GL_PROJECTION_STACK_DEPTH);
    drawText(0, 0, 320, 200, "");
    EXPECT_TRUE(frameIsBlack());
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), GLint(FontManager::instance()->fontTextures[0]));
    EXPECT_EQ(glInteger(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), projection);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
}

TEST_F(TextDrawingTest, NoUsableFontDrawsNothingAndLeavesTheOverlay) {
    const GLint projection = glInteger(GL_PROJECTION_STACK_DEPTH);
    const GLint modelview = glInteger(GL_MODELVIEW_STACK_DEPTH);
    auto drawsNothing = [&](const char* fontsData) {
        if (fontsData != nullptr) testdata::writeText("data/fonts.data", fontsData);
        drawText(0, 0, 320, 200, "Code");
        EXPECT_TRUE(frameIsBlack()) << (fontsData ? fontsData : "no file");
        EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), projection);
        EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), modelview);
        EXPECT_EQ(glInteger(GL_ATTRIB_STACK_DEPTH), 0);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        destroyFontManager();  // read the file again on the next call
    };
    drawsNothing(nullptr);
    drawsNothing("");
    drawsNothing("mapfile xspace yspace\n");
    drawsNothing("mapfile xspace yspace\ndata/missing.tga 0 0\n");
    drawsNothing("xspace yspace\n1 2\n");  // no mapfile column: loads the empty name
}

TEST_F(TextDrawingTest, RowsNamingOneImageShareItsTexture) {
    testdata::writeFile("data/font.tga", fontImage());
    testdata::writeFile("data/other.tga", fontImage());
    std::string table = "mapfile xspace yspace\n";
    for (int row = 0; row < 2000; ++row) table += row == 1 ? "data/other.tga 0 0\n" : "data/font.tga 0 0\n";
    testdata::writeText("data/fonts.data", table);
    const uint32_t slotsBefore = TextureManager::instance()->slotCount();
    const std::vector<uint32_t>& ids = FontManager::instance()->fontTextures;
    ASSERT_EQ(ids.size(), 2000u);
    EXPECT_EQ(TextureManager::instance()->slotCount(), slotsBefore + 2);  // one load per file
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), ids[0]), 1999);
    drawText(20, 20, 400, 400, "b");
    EXPECT_EQ(rgb(pixelAt(28, 28)), (Rgb{0, 0, 255}));
}
