#include "platform/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return {};
    std::string result(path, size_t(length));
    const size_t slash = result.rfind('/');
    return slash == std::string::npos ? std::string() : result.substr(0, slash);
}

std::vector<std::string> dataRootCandidates(const std::string& executableDir) {
    std::vector<std::string> roots{"."};
    if (!executableDir.empty()) {
        roots.push_back(executableDir);
        roots.push_back(executableDir + "/../share/soltarek");
    }
    return roots;
}

bool hasDataDirectory(const std::string& root) {
    struct stat info{};
    return stat((root + "/data").c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool enterDirectory(const std::string& root) { return chdir(root.c_str()) == 0; }

void restartProcess(char** argv) {
    fflush(nullptr);
    execv("/proc/self/exe", argv);
}
