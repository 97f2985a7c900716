// datagen-icons <dir> <name>: renders the show's icon into <dir>/hicolor/<N>x<N>/apps/<name>.png
// at every size the desktop asks for.
#include "icon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool writeIconPng(const std::string& path, const Image& img) {
    std::vector<uint8_t> bytes(img.rgba.size());
    std::transform(img.rgba.begin(), img.rgba.end(), bytes.begin(), [](float v) {
        return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    });
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(img.width);
    png.height = png_uint_32(img.height);
    png.format = PNG_FORMAT_RGBA;
    const bool written = png_image_write_to_file(&png, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: datagen-icons <output-dir> <icon-name>\n");
        return 2;
    }
    for (const int size : IconSizes) {
        const std::string side = std::to_string(size);
        const std::filesystem::path dir =
            std::filesystem::path(argv[1]) / "hicolor" / (side + "x" + side) / "apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        const std::string path = (dir / (std::string(argv[2]) + ".png")).string();
        // A temporary name first, so an interrupted run leaves no half file.
        if (error || !writeIconPng(path + ".part", makeIcon(size)) ||
            std::rename((path + ".part").c_str(), path.c_str()) != 0) {
            std::fprintf(stderr, "datagen-icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
