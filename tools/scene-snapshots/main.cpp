// scene-snapshots: runs the show on a simulated clock (16 ms frames) in the headless GL
// context and writes the frames at chosen clock values as PNG files, for looking at the
// scenes without a display. The frame-counted motion (warp sweep, particle glide, closing
// cube) depends on the step: the particle text completes within its scene only with steps
// below about 11 ms. Textures that did not load (no data directory) are replaced
// by generated test patterns, so the scenes' geometry and orientation stay visible.
//
//   scene-snapshots <out-dir> [--size WxH] [--step ms] [ms ...]

#include <GL/gl.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "platform/offscreen_gl.h"
#include "texture/texture_names.h"
#include "texture/texture_sets.h"

namespace {

// A 64 x 64 pattern: a checkerboard in `hue`, a white bar along the first stored rows
// (t = 0, the bottom of a picture) and a green bar along the first columns (s = 0).
uint32_t patternTexture(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> pixels;
    for (int row = 0; row < 64; ++row) {
        for (int column = 0; column < 64; ++column) {
            const bool dark = ((row / 8) + (column / 8)) % 2 == 0;
            uint8_t rgba[4] = {uint8_t(dark ? r / 3 : r), uint8_t(dark ? g / 3 : g),
                               uint8_t(dark ? b / 3 : b), 255};
            if (row < 6) rgba[0] = rgba[1] = rgba[2] = 255;
            if (column < 6) rgba[0] = 0, rgba[1] = 255, rgba[2] = 0;
            pixels.insert(pixels.end(), rgba, rgba + 4);
        }
    }
    // Own-range name: cannot collide with ids the texture manager hands out later.
    const uint32_t name = reserveOwnTextureName();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return name;
}

void fillMissingTextures() {
    for (std::size_t i = 0; i < pictureTextures.size(); ++i) {
        if (pictureTextures[i] == 0) {
            pictureTextures[i] = patternTexture(uint8_t(60 + 15 * i), uint8_t(200 - 12 * i), 160);
        }
    }
    if (cubeTexture == 0) cubeTexture = patternTexture(220, 180, 120);
    if (boxTexture == 0) boxTexture = patternTexture(40, 80, 255);
    if (plateTexture == 0) plateTexture = patternTexture(255, 120, 0);
    if (warpTexture == 0) {
        warpTexture = reserveOwnTextureName();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
}

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, &rgba[std::size_t(y) * std::size_t(width) * 4]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scene-snapshots <out-dir> [--size WxH] [--step ms] [ms ...]\n");
        return 2;
    }
    const std::string outDir = argv[1];
    int width = 640, height = 400;  // pixels
    uint32_t step = 16;             // ms per simulated frame
    std::set<uint32_t> wanted;      // clock values (ms) to write
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            std::sscanf(argv[++i], "%dx%d", &width, &height);
        } else if (arg == "--step" && i + 1 < argc) {
            step = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        } else {
            wanted.insert(uint32_t(std::strtoul(arg.c_str(), nullptr, 10)));
        }
    }
    if (width <= 0 || height <= 0 || step == 0) {
        std::fprintf(stderr, "scene-snapshots: bad size or step\n");
        return 2;
    }
    if (wanted.empty()) {
        // One or more frames of every scene.
        wanted = {166,   1014,  3494,  9014,  14006, 20006, 24102, 30006,
                  40006, 52006, 63014, 68006, 75014, 80006, 84006, 90006};
    }

    prefetchStartupImages();  // the show's own way of loading
    std::string error;
    auto context = OffscreenContext::create(width, height, error);
    if (!context) {
        std::fprintf(stderr, "scene-snapshots: %s\n", error.c_str());
        return 1;
    }
    prepareShow();
    fillMissingTextures();

    // Frames every `step` ms from 150 ms; a wanted value is taken by the first frame at or
    // after it.
    auto target = wanted.begin();
    for (uint32_t now = 150; !isQuitRequested() && target != wanted.end(); now += step) {
        drawFrame(now);
        if (now >= *target) {
            char name[64];
            std::snprintf(name, sizeof name, "/frame-%05u-scene%d.png", now, currentSceneIndex());
            if (!writePng(outDir + name, width, height, context->readPixelsTopDown())) {
                std::fprintf(stderr, "scene-snapshots: cannot write %s%s\n", outDir.c_str(), name);
                return 1;
            }
            while (target != wanted.end() && *target <= now) ++target;
        }
    }
    return 0;
}
