// Windows speaks UTF-16; the core holds Windows-1251 bytes and the console program's own texts
// are UTF-8.  These convert at that boundary, and only there.
#pragma once

#include <string>
#include <string_view>

namespace bukvotok {

// Each character the code page does not hold becomes "?" (never a look-alike: "é" is not "e");
// `lossy`, when given, tells whether that happened.
std::string WideToCp1251(std::wstring_view text, bool* lossy = nullptr);
std::wstring Cp1251ToWide(std::string_view bytes);

// An unpaired surrogate, which a file name may hold, becomes U+FFFD, and an ill-formed UTF-8
// sequence likewise.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view utf8);

}  // namespace bukvotok
