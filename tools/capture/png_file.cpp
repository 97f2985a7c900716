#include "png_file.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// Why libpng gave up: its text, and errno at that moment (a failed write of the file).
struct PngFailure {
    std::string message;
    int systemError = 0;
};

// libpng's errors end the write through its jump buffer.
void onPngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    if (failure != nullptr) *failure = {message, errno};
    png_longjmp(png, 1);
}
}  // namespace

bool writePng(int fd, const std::string& name, int width, int height, const uint8_t* pixels,
              int channels, bool bottomUp, int compression, std::string& error) {
    const int own = dup(fd);
    FILE* file = own >= 0 ? fdopen(own, "wb") : nullptr;
    if (file == nullptr) {
        error = "cannot write " + name + ": " + std::strerror(errno);
        if (own >= 0) close(own);
        return false;
    }
    PngFailure failure;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, onPngError, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    const size_t rowBytes = size_t(width) * size_t(channels);
    for (int y = 0; y < height; ++y) {
        const int source = bottomUp ? height - 1 - y : y;
        rows[size_t(y)] = const_cast<png_bytep>(pixels + size_t(source) * rowBytes);
    }
    bool good = png != nullptr && info != nullptr;
    if (good && setjmp(png_jmpbuf(png)) == 0) {
        errno = 0;  // from here on, errno names a failed write
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
    // The last bytes reach the file here: a full disk may show only now.
    if (std::fflush(file) != 0 || std::ferror(file) != 0) {
        if (failure.systemError == 0) failure.systemError = errno;
        good = false;
    }
    if (std::fclose(file) != 0) {
        if (failure.systemError == 0) failure.systemError = errno;
        good = false;
    }
    if (!good)
        error = "cannot write " + name + ": " +
                (failure.systemError != 0 ? std::strerror(failure.systemError)
                 : failure.message.empty() ? "out of memory"
                                           : failure.message);
    return good;
}
