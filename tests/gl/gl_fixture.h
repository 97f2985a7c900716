#pragma once
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/startup.h"
#include "platform/offscreen_gl.h"

// Links the build's generated data/ into `dir` (an empty data/ when the build has none).
inline void linkBuildData(const std::filesystem::path& dir) {
    const std::filesystem::path data = std::filesystem::path(DEMO_BUILD_DIR) / "data";
    if (std::filesystem::is_directory(data))
        std::filesystem::create_directory_symlink(data, dir / "data");
    else
        std::filesystem::create_directory(dir / "data");
}

inline GLint glInteger(GLenum what) {
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

// A fresh headless GL context per test; the show's state starts fresh too
// (support/fresh_show_state.cpp).
class GlTest : public ::testing::Test {
protected:
    void SetUp() override { createContext(64, 40); }

    void createContext(int width, int height) {
        std::string error;
        context.reset();
        context = OffscreenContext::create(width, height, error);
        ASSERT_NE(context, nullptr) << error;
    }

    // Start-up as every driver does it, silent and on the simulated clock, into a fresh
    // context of width x height.
    void startShowOffscreen(int width, int height) {
        StartupSettings settings;
        settings.clock = RunClock::Simulated;
        settings.music = false;
        ASSERT_TRUE(startShow(settings, [&] {
            createContext(width, height);
            return context != nullptr;
        }));
    }

    // RGBA of the pixel at (x, y), y counted from the top row.
    std::array<uint8_t, 4> pixelAt(int x, int y) const {
        std::array<uint8_t, 4> rgba{};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, context->height() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    std::unique_ptr<OffscreenContext> context;
};
