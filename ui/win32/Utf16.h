// The links' behaviour keeps its texts as char16_t, Windows as wchar_t: both UTF-16, so the
// conversion copies code units one by one.  Our own Windows-1251 bytes go through WideText.h.
#pragma once

#include <string>
#include <string_view>

namespace bukvotok::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16");

inline std::wstring ToWide(std::u16string_view text) { return {text.begin(), text.end()}; }
inline std::u16string ToUtf16(std::wstring_view text) { return {text.begin(), text.end()}; }

}  // namespace bukvotok::win32
