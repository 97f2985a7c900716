#include "png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

bool writePng(const std::string& path, int width, int height, const uint8_t* pixels,
              int channels, bool bottomUp, int compression, std::string& error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    const size_t rowBytes = size_t(width) * size_t(channels);
    for (int y = 0; y < height; ++y) {
        const int source = bottomUp ? height - 1 - y : y;
        rows[size_t(y)] = const_cast<png_bytep>(pixels + size_t(source) * rowBytes);
    }
    bool good = png != nullptr && info != nullptr;
    if (good && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_compression_level(png, compression);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        if (channels == 4) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drop the alpha byte
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    } else {
        good = false;
    }
    png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
    if (std::fclose(file) != 0) good = false;
    if (!good) error = "cannot write " + path + " (disk full?)";
    return good;
}
