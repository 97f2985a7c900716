#include "output_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/temporary_file.h"
#include "run_stop.h"

namespace {

// What this run created and has not committed, in a form a signal handler can remove: a
// few fixed slots (a video, a sheet, a manifest, a chapter list and the frame being written
// are the most at a time), and two for each part of a split recording (run_stop.h).
struct Created {
    std::atomic<bool> used{false};
    char path[PATH_MAX];
};
constexpr int CreatedSlots = 5 + 2 * int(MaxPartProcesses);
Created temporaries[CreatedSlots];
Created frameDirectory;  // removed only while still empty

bool remember(Created& slot, const std::string& path) {
    if (path.size() >= sizeof slot.path) return false;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.used = true;
    return true;
}

void rememberTemporary(const std::string& path) {
    for (Created& slot : temporaries)
        if (!slot.used && remember(slot, path)) return;
}

void forgetTemporary(const std::string& path) {
    for (Created& slot : temporaries)
        if (slot.used && path == slot.path) slot.used = false;
}

std::string reason(const std::string& path) { return path + ": " + std::strerror(errno); }

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "is a directory";
    if (S_ISCHR(mode)) return "is a character device, not a file";
    if (S_ISBLK(mode)) return "is a block device, not a file";
    if (S_ISSOCK(mode)) return "is a socket, not a file";
    return "is not a regular file";
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string realPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    std::string result = resolved != nullptr ? resolved : "";
    std::free(resolved);
    return result;
}

// The absolute name of a file that need not exist yet: its directory resolved, its own
// name as given. Empty when the directory cannot be resolved.
std::string canonicalName(const std::string& path) {
    const std::string dir = realPath(directoryOf(path));
    if (dir.empty()) return "";
    return (dir == "/" ? "" : dir) + "/" + nameOf(path);
}

std::string canonicalOutput(const OutputTarget& target) {
    return target.inPlace ? realPath(target.writePath) : canonicalName(target.finalPath);
}

bool writableDirectory(const std::string& dir, const std::string& forPath, std::string& error) {
    struct stat info{};
    if (stat(dir.c_str(), &info) != 0) {
        error = "cannot write " + forPath + ": " + (errno == ENOENT ? "no directory " + dir
                                                                   : reason(dir));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = "cannot write " + forPath + ": " + dir + " is not a directory";
        return false;
    }
    if (access(dir.c_str(), W_OK | X_OK) != 0) {
        error = "cannot write in " + reason(dir);
        return false;
    }
    return true;
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
    const std::string result = realPath(path);
    struct stat named{};
    if (!statted || result.empty() || stat(result.c_str(), &named) != 0 ||
        named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
        error = path + ": the file behind the link cannot be told for certain";
        return "";
    }
    return result;
}

// Creates this run's own temporary in `dir` and remembers it for removal. -1 with `error`.
int createUnique(const std::string& dir, std::string& path, std::string& error) {
    const int fd = createTemporaryFile(dir, "demo-capture", path);
    if (fd < 0) {
        error = "cannot write in " + reason(dir);
        return -1;
    }
    rememberTemporary(path);
    return fd;
}

}  // namespace

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
        if (access(path.c_str(), W_OK) == 0) return true;
        error = "cannot write " + reason(path);
        return false;
    } else if (!S_ISREG(info.st_mode)) {
        error = path + ": " + kindOf(info.st_mode);
        return false;
    } else if (S_ISLNK(entry.st_mode)) {
        file = linkedFile(path, error);
        if (file.empty()) return false;
    }
    if (!writableDirectory(directoryOf(file), path, error)) return false;
    target.finalPath = file;
    return true;
}

bool checkFrameDirectory(const std::string& dir, std::string& error) {
    struct stat info{};
    if (stat(dir.c_str(), &info) == 0) return writableDirectory(dir, dir, error);
    if (errno != ENOENT) {
        error = "cannot use " + reason(dir);
        return false;
    }
    return writableDirectory(directoryOf(dir), dir, error);
}

bool checkOutputsApart(const std::vector<NamedOutput>& outputs, const std::string& pngDir,
                       const std::string& inputDir, std::string& error) {
    const std::string inputs = realPath(inputDir);
    std::vector<std::string> inputFiles;  // each data file as the run will read it
    if (DIR* dir = opendir(inputDir.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') continue;
            const std::string real = realPath(inputDir + "/" + entry->d_name);
            if (!real.empty()) inputFiles.push_back(real);
        }
        closedir(dir);
    }
    std::string frames;
    if (!pngDir.empty()) {
        frames = realPath(pngDir);
        if (frames.empty()) frames = canonicalName(pngDir);
        if (!inputs.empty() && frames == inputs) {
            error = "--png " + pngDir + " is the show's data directory; choose another";
            return false;
        }
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        const NamedOutput& output = outputs[i];
        const std::string name = canonicalOutput(*output.target);
        const std::string shown = std::string(output.option) + " " +
                                  (output.target->inPlace ? output.target->writePath : output.target->finalPath);
        for (const std::string& input : inputFiles) {
            if (name != input) continue;
            error = shown + " is one of the show's data files, which the run reads; choose another";
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            if (canonicalOutput(*outputs[j].target) != name) continue;
            error = std::string(outputs[j].option) + " and " + output.option + " name the same file " +
                    name + "; give each its own";
            return false;
        }
        if (!frames.empty()) {
            const std::string file = nameOf(name);
            if (name == frames) {
                error = shown + " is the --png directory; give each its own";
                return false;
            }
            if (directoryOf(name) == frames && file.starts_with("frame-") && file.ends_with(".png")) {
                error = shown + " would be replaced by a --png frame; choose another name";
                return false;
            }
        }
    }
    return true;
}

bool claimOutputFile(OutputTarget& target, std::string& error) {
    if (target.inPlace) {
        if (access(target.writePath.c_str(), W_OK) == 0) return true;
        error = "cannot write " + reason(target.writePath);
        return false;
    }
    target.fd = createUnique(directoryOf(target.finalPath), target.writePath, error);
    return target.fd >= 0;
}

bool openInPlace(OutputTarget& target, std::string& error) {
    if (!target.inPlace || target.fd >= 0) return true;
    target.fd = open(target.writePath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (target.fd >= 0) return true;
    error = "cannot write " + reason(target.writePath);
    return false;
}

bool writeOutputText(OutputTarget& target, const std::string& text, std::string& error) {
    if (!openInPlace(target, error)) return false;
    const std::string& path = target.inPlace ? target.writePath : target.finalPath;
    for (size_t done = 0; done < text.size();) {
        const ssize_t written = write(target.fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error = "cannot write " + reason(path);
            return false;
        }
        done += size_t(written);
    }
    return true;
}

bool prepareFrameDirectory(const std::string& dir, std::string& error) {
    if (mkdir(dir.c_str(), 0777) == 0) {
        remember(frameDirectory, dir);
    } else if (errno != EEXIST) {
        error = "cannot create " + reason(dir);
        return false;
    }
    struct stat info{};
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = dir + ": not a directory";
        return false;
    }
    // Proves that files can be created in it.
    std::string probe;
    const int fd = createUnique(dir, probe, error);
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    forgetTemporary(probe);
    return true;
}

bool commitOutputFile(OutputTarget& target, std::string& error) {
    if (target.inPlace) {
        if (target.fd >= 0 && close(target.fd) != 0) {
            error = "cannot write " + reason(target.writePath);
            return false;
        }
        target.fd = -1;
        return true;
    }
    // The checks were made before the run; what the names lead to may have changed since.
    struct stat written{}, named{}, entry{};
    const bool same = fstat(target.fd, &written) == 0 && lstat(target.writePath.c_str(), &named) == 0 &&
                      written.st_dev == named.st_dev && written.st_ino == named.st_ino;
    close(target.fd);
    target.fd = -1;
    if (!same) {
        error = target.writePath + ": no longer the file this run wrote; " + target.finalPath +
                " not replaced";
        return false;
    }
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

bool createScratchFile(const std::string& besidePath, const char* suffix, std::string& path,
                       std::string& error) {
    std::string claim;
    const int fd = createUnique(directoryOf(besidePath), claim, error);
    if (fd < 0) return false;
    close(fd);
    path = claim + suffix;
    if (path.size() < PATH_MAX) {
        rememberTemporary(path);
        return true;
    }
    error = "cannot write in " + directoryOf(besidePath) + ": its path is too long";
    return false;
}

void removeScratchFile(const std::string& path) {
    // The name without the suffix is the claim that keeps the name this run's own.
    for (const std::string& name : {path, path.substr(0, path.rfind('.'))}) {
        unlink(name.c_str());
        forgetTemporary(name);
    }
}

void removeTemporaries() {
    for (Created& slot : temporaries) {
        if (!slot.used) continue;
        unlink(slot.path);
        slot.used = false;
    }
    if (frameDirectory.used) rmdir(frameDirectory.path);  // fails, as it should, unless empty
    frameDirectory.used = false;
}
