#include "platform/temporary_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int createTemporaryFile(const std::string& dir, const char* prefix, std::string& path) {
    constexpr int Attempts = 100;  // names taken already (by other runs) before giving up
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        uint32_t random = 0;
        if (getrandom(&random, sizeof random, 0) != sizeof random)
            random = uint32_t(getpid()) * 2654435761u + uint32_t(attempt);
        char name[64];
        std::snprintf(name, sizeof name, ".%.40s-%08x.part", prefix, unsigned(random));
        path = (dir.empty() || dir == "/" ? dir : dir + "/") + name;
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}
