#include "output_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
std::vector<std::string> temporaries;

std::string reason(const std::string& path) { return path + ": " + std::strerror(errno); }

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "is a directory";
    if (S_ISCHR(mode)) return "is a character device, not a file";
    if (S_ISBLK(mode)) return "is a block device, not a file";
    if (S_ISSOCK(mode)) return "is a socket, not a file";
    return "is not a regular file";
}

// A link to a regular file: the file it names, once the link has been opened for writing
// (so that the kernel's rules for following links in shared directories apply) and the
// name still leads to the file that was opened. Empty with `error` set otherwise.
std::string linkedFile(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot write through the link " + reason(path);
        return "";
    }
    struct stat opened{};
    const bool statted = fstat(fd, &opened) == 0;
    close(fd);
    char* resolved = realpath(path.c_str(), nullptr);
    std::string result = resolved != nullptr ? resolved : "";
    std::free(resolved);
    struct stat named{};
    if (!statted || result.empty() || stat(result.c_str(), &named) != 0 ||
        named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
        error = path + ": the file behind the link cannot be told for certain";
        return "";
    }
    return result;
}
}  // namespace

std::string temporaryNameFor(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".part";
}

bool planOutput(const std::string& path, OutputTarget& target, std::string& error) {
    target = OutputTarget{};
    std::string file = path;
    struct stat entry{}, info{};
    if (lstat(path.c_str(), &entry) != 0) {
        if (errno != ENOENT) {
            error = "cannot write " + reason(path);
            return false;
        }
    } else if (stat(path.c_str(), &info) != 0) {
        error = errno == ENOENT ? path + ": symbolic link to a file that does not exist"
                                : "cannot write " + reason(path);
        return false;
    } else if (S_ISFIFO(info.st_mode)) {
        target.inPlace = true;
        target.writePath = path;
        return true;
    } else if (!S_ISREG(info.st_mode)) {
        error = path + ": " + kindOf(info.st_mode);
        return false;
    } else if (S_ISLNK(entry.st_mode)) {
        file = linkedFile(path, error);
        if (file.empty()) return false;
    }
    target.finalPath = file;
    target.writePath = temporaryNameFor(file);
    return true;
}

bool claimOutputFile(const std::string& path, OutputTarget& target, std::string& error) {
    if (!planOutput(path, target, error)) return false;
    if (target.inPlace) {
        if (access(path.c_str(), W_OK) == 0) return true;
        error = "cannot write " + reason(path);
        return false;
    }
    // O_NOFOLLOW: a link planted under the temporary name must not redirect the write.
    const int fd = open(target.writePath.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + reason(target.writePath);
        return false;
    }
    close(fd);
    rememberTemporary(target.writePath);
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
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write in " + reason(dir);
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

bool commitOutputFile(const OutputTarget& target, std::string& error) {
    if (target.inPlace) return true;
    // The checks were made before the run; what the name leads to may have changed since.
    struct stat entry{};
    if (lstat(target.finalPath.c_str(), &entry) == 0 && !S_ISREG(entry.st_mode)) {
        error = target.finalPath + ": no longer a regular file; not replaced";
        return false;
    }
    if (std::rename(target.writePath.c_str(), target.finalPath.c_str()) != 0) {
        error = "cannot rename " + target.writePath + " to " + reason(target.finalPath);
        return false;
    }
    forgetTemporary(target.writePath);
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
