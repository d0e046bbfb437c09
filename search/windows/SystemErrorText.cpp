#include "SystemErrorText.h"

#include <windows.h>

#include "windows/WideText.h"

namespace bukvotok {

namespace {

constexpr DWORD kBufferSize = 256;

// The system's text in `language` (0: the one Windows chooses for the user), or nothing when it
// has none or the text does not fit the buffer.
std::wstring FormattedMessage(int error_code, DWORD language) {
    wchar_t buffer[kBufferSize];
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(error_code), language, buffer, kBufferSize, nullptr);
    return std::wstring(buffer, length);
}

}  // namespace

std::string SystemErrorText(int error_code) {
    bool lossy = false;
    std::string text = WideToCp1251(FormattedMessage(error_code, 0), &lossy);
    // A Greek or Chinese system's text would be question marks in Windows-1251.
    if (lossy) {
        const std::wstring english =
            FormattedMessage(error_code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        if (!english.empty()) text = WideToCp1251(english);
    }
    return FittedSystemText(std::move(text));
}

std::string FullPath(const NativePath& path) {
    if (path.empty()) return {};
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return WideToCp1251(path);
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return WideToCp1251(path);
    full.resize(length);
    return WideToCp1251(full);
}

}  // namespace bukvotok
