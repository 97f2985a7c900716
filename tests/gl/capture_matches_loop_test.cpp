// demo-capture's PNG frames equal, pixel for pixel, the frames drawn here through the
// demo's own frame step (playFrame: drawFrame, messages, present) in the headless context
// with the same simulated clock: capture adds nothing to the frame code and loses nothing
// in writing.
#include <png.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "app/frame.h"
#include "app/shell.h"
#include "gl_fixture.h"

namespace {

constexpr int Width = 96;
constexpr int Height = 54;
constexpr uint32_t Fps = 25;  // frame k at clock value 40 * k ms

std::vector<uint8_t> readPngRgba(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (image.width != Width || image.height != Height ||
        !png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    return pixels;
}

}  // namespace

TEST_F(GlTest, CapturedPngFramesEqualFramesOfTheDemoLoop) {
    namespace fs = std::filesystem;
    const testdata::ScratchDir scratch;
    const fs::path work = scratch.path();
    linkBuildData(work);

    // One frame in every scene, two in the particle scene; 90560 is the last frame at 25 fps.
    const std::vector<uint32_t> chosen = {2000,  10000, 20000, 30000, 36000, 47000, 50000,
                                          64000, 70000, 76000, 80000, 88000, 90560};
    std::string at;
    for (uint32_t ms : chosen) at += (at.empty() ? "" : ",") + std::to_string(ms);
    const std::string command = std::string(DEMO_CAPTURE_PROGRAM) + " --size 96x54 --fps 25 --at " +
                                at + " --png frames 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    size_t written = 0;
    for (const auto& entry : fs::directory_iterator(work / "frames")) written += entry.is_regular_file();
    EXPECT_EQ(written, chosen.size());

    startShowOffscreen(Width, Height);
    size_t next = 0;
    bool anyDetail = false;
    for (uint64_t k = 0; !isQuitRequested() && next < chosen.size(); ++k) {
        const auto now = uint32_t(k * 1000 / Fps);
        setSimulatedClock(now);
        playFrame();
        if (now < chosen[next]) continue;
        const std::vector<uint8_t> drawn = context->readPixelsTopDown();
        char name[40];
        std::snprintf(name, sizeof name, "frames/frame-%05u.png", unsigned(now));
        const std::vector<uint8_t> captured = readPngRgba(name);
        ASSERT_EQ(captured.size(), drawn.size()) << name;
        EXPECT_TRUE(captured == drawn) << name << " differs from the loop's frame";
        for (size_t i = 4; i < drawn.size() && !anyDetail; i += 4)
            anyDetail = drawn[i] != drawn[0] || drawn[i + 1] != drawn[1] || drawn[i + 2] != drawn[2];
        ++next;
    }
    EXPECT_EQ(next, chosen.size());
    if (!anyDetail) GTEST_SKIP() << "every frame is one flat colour (no data or scenes): nothing shown to compare";
}
