#include "platform/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return {};
    std::string result(path, size_t(length));
    const size_t slash = result.rfind('/');
    return slash == std::string::npos ? std::string() : result.substr(0, slash);
}

std::vector<std::string> dataRootCandidates(const std::string& executableDir,
                                            const std::string& fromExecutable,
                                            const std::string& installDir) {
    std::vector<std::string> roots{"."};
    auto add = [&roots](const std::filesystem::path& place) {
        std::string text = place.lexically_normal().string();
        if (text.size() > 1 && text.back() == '/') text.pop_back();
        if (std::find(roots.begin(), roots.end(), text) == roots.end()) roots.push_back(text);
    };
    if (!executableDir.empty()) {
        add(executableDir);
        if (!fromExecutable.empty()) add(std::filesystem::path(executableDir) / fromExecutable);
    }
    if (!installDir.empty()) add(installDir);
    return roots;
}

bool hasDataDirectory(const std::string& root) {
    struct stat info{};
    return stat((root + "/data").c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string findDataRoot(const std::vector<std::string>& roots, std::string& searched) {
    searched.clear();
    for (const std::string& root : roots) {
        if (hasDataDirectory(root)) return root;
        searched += (searched.empty() ? "" : ", ") + root + "/data";
    }
    return "";
}

bool enterDirectory(const std::string& root) { return chdir(root.c_str()) == 0; }

void restartProcess(char** argv) {
    fflush(nullptr);
    execv("/proc/self/exe", argv);
}
