// Temporary files for tests, removed when the test ends, and what a message shows of their paths.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "NativePath.h"
#ifdef _WIN32
#include "windows/WideText.h"
#endif

namespace bukvotok {

class TempDir {
public:
    TempDir() {
        // Made at once under a random name, so that tests running together never share one.
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device random;
        do {
            path_ = base / ("bukvotok-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path_));
        path_.make_preferred();
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    // With the system's own separators, as a full path shows them.
    NativePath Path(std::string_view name) const {
        return (path_ / name).make_preferred().native();
    }

    NativePath Write(std::string_view name, std::string_view bytes) const {
        const NativePath path = Path(name);
        std::ofstream(std::filesystem::path(path), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

private:
    std::filesystem::path path_;
};

// A path as an error message holds it: its bytes, or on Windows its Windows-1251.
inline std::string MessagePath(const NativePath& path) {
#ifdef _WIN32
    return WideToCp1251(path);
#else
    return path;
#endif
}

}  // namespace bukvotok
