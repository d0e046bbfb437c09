#include "Errors.h"

#include "SystemErrorText.h"

namespace bukvotok {

namespace {

std::string FileMessage(const char* what, const NativePath& path, int error_code) {
    return std::string(what) + " \"" + FullPath(path) + "\". " + SystemErrorText(error_code);
}

}  // namespace

FileOpenError::FileOpenError(const NativePath& path, int error_code)
    : Error(FileMessage("Cannot open file", path, error_code)) {}

FileCreateError::FileCreateError(const NativePath& path, int error_code)
    : Error(FileMessage("Cannot create file", path, error_code)) {}

ListIndexError::ListIndexError(long long index)
    : Error("List index out of bounds (" + std::to_string(index) + ")") {}

DictionaryTooLargeError::DictionaryTooLargeError(std::size_t limit)
    : Error("Dictionary too large: more than " +
            (limit >= 1'000'000 ? std::to_string(limit / 1'000'000) + " MB"
                                : std::to_string(limit) + " bytes") +
            ", the most that can be loaded on this computer") {}

std::string WithFullStop(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

}  // namespace bukvotok
