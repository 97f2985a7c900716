#include "whole_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/temporary_file.h"

namespace {

bool writeAll(int fd, const uint8_t* data, size_t bytes) {
    while (bytes > 0) {
        const ssize_t written = write(fd, data, bytes);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        bytes -= size_t(written);
    }
    return true;
}

}  // namespace

void writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temporary;
    const int fd = createTemporaryFile(directoryOf(path), "datagen", temporary);
    if (fd < 0) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    bool written = writeAll(fd, bytes.data(), bytes.size());
    int error = written ? 0 : errno;
    // Some file systems report a failed write only at close.
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (written) return;
    unlink(temporary.c_str());
    throw std::runtime_error("cannot write " + path + ": " + std::strerror(error != 0 ? error : EIO));
}
