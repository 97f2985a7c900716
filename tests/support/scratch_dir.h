#pragma once
#include <stdlib.h>

#include <cerrno>

#include <filesystem>
#include <string>

namespace testdata {

// Makes a fresh temporary directory the working directory for the life of the object, then
// restores the previous one and removes the directory with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "demo-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::filesystem::filesystem_error(
            "mkdtemp", std::error_code(errno, std::generic_category()));
        path_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

}  // namespace testdata
