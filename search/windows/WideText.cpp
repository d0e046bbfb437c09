#include "windows/WideText.h"

#include <windows.h>

#include <climits>

namespace bukvotok {

namespace {

constexpr UINT kCp1251 = 1251;

// Texts here are messages, paths and results; one larger than an int counts is cut there rather
// than refused, as nothing larger is ever shown at once.
int Count(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

std::string ToBytes(UINT code_page, DWORD flags, std::wstring_view text, BOOL* lossy) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(code_page, flags, text.data(), Count(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(code_page, flags, text.data(), Count(text.size()), bytes.data(), size,
                          lossy ? "?" : nullptr, lossy);
    return bytes;
}

std::wstring ToWide(UINT code_page, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size =
        ::MultiByteToWideChar(code_page, 0, bytes.data(), Count(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(code_page, 0, bytes.data(), Count(bytes.size()), text.data(), size);
    return text;
}

}  // namespace

std::string WideToCp1251(std::wstring_view text, bool* lossy) {
    BOOL used_default = FALSE;
    std::string bytes = ToBytes(kCp1251, WC_NO_BEST_FIT_CHARS, text, &used_default);
    if (lossy) *lossy = used_default != FALSE;
    return bytes;
}

std::wstring Cp1251ToWide(std::string_view bytes) { return ToWide(kCp1251, bytes); }

std::string WideToUtf8(std::wstring_view text) { return ToBytes(CP_UTF8, 0, text, nullptr); }

std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }

}  // namespace bukvotok
