#include "gl_fixture.h"
#include "scene_textures.h"

#include <algorithm>
#include <cmath>

#include "scenes/julia.h"
#include "scenes/warp_scenes.h"
#include "texture/texture_sets.h"

namespace {

constexpr int Side = 256;  // square viewport, pixels
const double Tilt = 2.5 * M_PI / 180.0;

class WarpTest : public GlTest {
protected:
    void SetUp() override {
        createContext(Side, Side);
        // The warp name as start-up reserves it: linear filters, no image.
        glGenTextures(1, &warpTexture);
        glBindTexture(GL_TEXTURE_2D, warpTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }

    bool lit(int x, int y) const { return pixelAt(x, y)[2] != 0; }

    // Topmost lit row (from the top) in column x.
    int topEdge(int x) const {
        for (int y = 0; y < Side; ++y)
            if (lit(x, y)) return y;
        return -1;
    }

    // The blues of the 2 x 2 texels that linear filtering mixes for pixel (x, y from top).
    std::pair<int, int> texelRange(int x, int y) const {
        const double nx = (x + 0.5) / Side * 2 - 1;
        const double ny = 1 - (y + 0.5) / Side * 2;
        // Undo the counter-clockwise tilt, then square -0.7..0.7 -> texture 0..1.
        const double u = nx * std::cos(Tilt) + ny * std::sin(Tilt);
        const double v = -nx * std::sin(Tilt) + ny * std::cos(Tilt);
        const double column = (u + 0.7) / 1.4 * JuliaSize - 0.5;
        const double row = (v + 0.7) / 1.4 * JuliaSize - 0.5;
        int low = 255, high = 0;
        for (int r : {int(std::floor(row)), int(std::floor(row)) + 1}) {
            for (int c : {int(std::floor(column)), int(std::floor(column)) + 1}) {
                const int blue = warpPixels[std::size_t(r * JuliaSize + c) * 4 + 2];
                low = std::min(low, blue);
                high = std::max(high, blue);
            }
        }
        return {low, high};
    }

    void expectBluesFromTheImage() {
        int exact = 0;
        for (auto [x, y] : {std::pair{128, 128}, {60, 70}, {200, 90}, {100, 200}, {190, 190},
                            {45, 128}, {128, 45}, {150, 110}}) {
            const auto [low, high] = texelRange(x, y);
            const auto pixel = pixelAt(x, y);
            EXPECT_GE(pixel[2] + 1, low) << x << "," << y;
            EXPECT_LE(pixel[2], high + 1) << x << "," << y;
            EXPECT_EQ(pixel[0], 0);
            EXPECT_EQ(pixel[1], 0);
            exact += low == high;
        }
        EXPECT_GE(exact, 2);  // some pixels lie on uniform texels and pin the value
    }
};

}  // namespace

TEST_F(WarpTest, SquareIsCentredTiltedAndCoversSeventyPercent) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    drawWarpSweep();  // constant (2, -2): every point escapes, every texel has some blue
    for (std::size_t i = 2; i < warpPixels.size(); i += 4) ASSERT_NE(warpPixels[i], 0);

    // Along the centre row the square spans 0.7 / cos(2.5 deg) to each side.
    int left = 0, right = Side - 1;
    while (!lit(left, Side / 2)) ++left;
    while (!lit(right, Side / 2)) --right;
    const double halfWidth = 0.7 / std::cos(Tilt) * Side / 2;
    EXPECT_NEAR(left, Side / 2 - halfWidth, 1.5);
    EXPECT_NEAR(right, Side / 2 + halfWidth - 1, 1.5);

    // Counter-clockwise: the top edge is higher on the right, by tan(2.5 deg) per pixel.
    const int dx = 120;
    const int rise = topEdge(Side / 2 - dx / 2) - topEdge(Side / 2 + dx / 2);
    EXPECT_NEAR(rise, dx * std::tan(Tilt), 1.0);
    EXPECT_GT(rise, 3);

    int count = 0;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) count += lit(x, y);
    EXPECT_NEAR(double(count) / (Side * Side), 0.49, 0.01);

    expectBluesFromTheImage();
    // Blending off while drawing and on again after, the image bound, alpha 0.5 white.
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GLuint(glInteger(GL_TEXTURE_BINDING_2D)), warpTexture);
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[3], 0.5f);
    EXPECT_EQ(glInteger(GL_BLEND_DST), GL_ONE);  // untouched
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(WarpTest, SweepMovesOncePerFrameAndStillKeepsItsConstant) {
    const JuliaSweep start = warpSweepState();
    drawWarpSweep();
    drawWarpSweep();
    EXPECT_FLOAT_EQ(warpSweepState().re, start.re - 0.025f - 0.025f);
    EXPECT_FLOAT_EQ(warpSweepState().im, start.im + 0.015f + 0.015f);
    const float sweptRe = warpSweepState().re;

    glClear(GL_COLOR_BUFFER_BIT);
    drawWarpStill();
    expectBluesFromTheImage();
    EXPECT_EQ(pixelAt(Side / 2, Side / 2)[2], 0);  // the centre lies in the set
    EXPECT_EQ(warpSweepState().re, sweptRe);
}
