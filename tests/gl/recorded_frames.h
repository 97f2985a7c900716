#pragma once
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "gl_fixture.h"

// A PNG file's pixels as RGBA rows from the top; empty when it cannot be read or is not
// width x height.
inline std::vector<uint8_t> readPngRgba(const std::string& path, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (int(image.width) != width || int(image.height) != height ||
        !png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    return pixels;
}

// What `demo-capture --at` records at each moment (ms) at width x height, by moment: the
// recorder's own run with `options` added, in a scratch directory. Empty when the recorder
// failed.
inline std::map<uint32_t, std::vector<uint8_t>> recordedFrames(const std::vector<uint32_t>& moments,
                                                               int width, int height,
                                                               const std::string& options = "") {
    const testdata::ScratchDir scratch;
    linkBuildData(scratch.path());
    std::string at;
    for (const uint32_t ms : moments) at += (at.empty() ? "" : ",") + std::to_string(ms);
    const std::string command = std::string(DEMO_CAPTURE_PROGRAM) + " --size " + std::to_string(width) +
                                "x" + std::to_string(height) + " --at " + at + " --png frames " + options + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    // Each moment's file is named by the clock value of the show frame kept for it, the first
    // at or past it (the recorder's default show rate).
    std::map<uint32_t, std::vector<uint8_t>> frames;
    for (const uint32_t ms : moments) {
        const uint32_t kept = uint32_t((uint64_t(ms) * 120 + 999) / 1000 * 1000 / 120);
        char name[40];
        std::snprintf(name, sizeof name, "frames/frame-%05u.png", unsigned(kept));
        frames[ms] = readPngRgba(name, width, height);
    }
    return frames;
}
