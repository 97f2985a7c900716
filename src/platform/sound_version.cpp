#include <dlfcn.h>
#include <mpg123.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sound.h"

namespace sound {

namespace {

// The file name of a libtool-built library carries its interface numbers:
// libmpg123.so.<current - age>.<age>.<revision>, and current is the API version.
LibraryVersion versionFromFileName(const char* path) {
    LibraryVersion version;
    char resolved[PATH_MAX];
    if (path == nullptr || realpath(path, resolved) == nullptr) return version;
    const char* numbers = std::strstr(resolved, ".so.");
    unsigned major = 0, age = 0, revision = 0;
    if (numbers != nullptr && std::sscanf(numbers, ".so.%u.%u.%u", &major, &age, &revision) == 3) {
        version.api = major + age;
        version.patch = revision;
        version.known = true;
    }
    return version;
}

}  // namespace

const char* libraryName() { return "libmpg123"; }

LibraryVersion libraryVersion() {
    // Libraries from API 48 on report their version; older ones only through their file.
    using VersionQuery = unsigned (*)(unsigned*);
    if (auto query = reinterpret_cast<VersionQuery>(dlsym(RTLD_DEFAULT, "mpg123_libversion"))) {
        LibraryVersion version;
        version.api = query(&version.patch);
        version.known = true;
        return version;
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&mpg123_new), &info) == 0) return {};
    return versionFromFileName(info.dli_fname);
}

LibraryVersion requiredLibraryVersion() { return {MPG123_API_VERSION, 0, true}; }

bool isOlderVersion(LibraryVersion found, LibraryVersion required) {
    if (!found.known) return false;
    return found.api < required.api || (found.api == required.api && found.patch < required.patch);
}

std::string versionText(LibraryVersion version) {
    return "API " + std::to_string(version.api);
}

}  // namespace sound
