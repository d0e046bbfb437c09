#include "SystemErrorText.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace bukvotok {

std::string SystemErrorText(int error_code) {
    // strerrordesc_np, unlike strerror, is not translated: the rest of the message is English.
    const char* description = strerrordesc_np(error_code);
    return FittedSystemText(description ? description
                                        : "Unknown error " + std::to_string(error_code));
}

std::string FullPath(const NativePath& path) {
    if (path.empty()) return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path;
    return absolute.lexically_normal().string();
}

}  // namespace bukvotok
