#include "SystemErrorText.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace bukvotok {

namespace {
constexpr std::size_t kReasonBufferSize = 256;
}

std::string SystemErrorText(int error_code) {
    // strerrordesc_np, unlike strerror, is not translated: the rest of the message is English.
    const char* description = strerrordesc_np(error_code);
    std::string text = description ? description : "Unknown error " + std::to_string(error_code);
    if (text.size() >= kReasonBufferSize) return {};
    while (!text.empty() &&
           (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

std::string FullPath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path;
    return absolute.lexically_normal().string();
}

}  // namespace bukvotok
