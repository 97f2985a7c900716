#include "platform/process.h"

#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

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

std::string findDataRoot(std::string& searched) {
    searched.clear();
    for (const std::string& root : dataRootCandidates(executableDirectory())) {
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

bool listAudioOutputDevices(std::vector<std::string>& names, std::string& error) {
    names.clear();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no working audio driver (") + SDL_GetError() + ")";
        return false;
    }
    const int count = SDL_GetNumAudioDevices(0);  // -1: the driver cannot list them
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_GetAudioDeviceName(i, 0);
        if (name != nullptr) names.emplace_back(name);
    }
    if (names.empty()) {
        error = std::string("the audio driver ") + SDL_GetCurrentAudioDriver() +
                " names no output device";
        return false;
    }
    return true;
}
