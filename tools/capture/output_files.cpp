#include "output_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
std::vector<std::string> temporaries;

std::string reason(const std::string& path) { return path + ": " + std::strerror(errno); }
}  // namespace

std::string temporaryNameFor(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".part";
}

bool claimOutputFile(const std::string& path, std::string& error) {
    struct stat info{};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = path + ": is a directory";
        return false;
    }
    const std::string temporary = temporaryNameFor(path);
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + reason(temporary);
        return false;
    }
    close(fd);
    rememberTemporary(temporary);
    return true;
}

bool prepareFrameDirectory(const std::string& dir, std::string& error) {
    if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        error = "cannot create " + reason(dir);
        return false;
    }
    struct stat info{};
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = dir + ": not a directory";
        return false;
    }
    const std::string probe = dir + "/.demo-capture-probe";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write in " + reason(dir);
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

bool commitOutputFile(const std::string& path, std::string& error) {
    const std::string temporary = temporaryNameFor(path);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temporary + " to " + reason(path);
        return false;
    }
    forgetTemporary(temporary);
    return true;
}

void rememberTemporary(const std::string& temporaryPath) { temporaries.push_back(temporaryPath); }

void forgetTemporary(const std::string& temporaryPath) {
    temporaries.erase(std::remove(temporaries.begin(), temporaries.end(), temporaryPath),
                      temporaries.end());
}

void removeTemporaries() {
    for (const std::string& path : temporaries) unlink(path.c_str());
    temporaries.clear();
}
