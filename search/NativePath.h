// A file's name as the operating system takes it: bytes on POSIX systems, UTF-16 on Windows,
// where a name may hold any character and Windows-1251 would lose most of them.  Names come from
// the command line or a file dialog in this form and reach the system unchanged; a message shows
// one through FullPath (SystemErrorText.h).
#pragma once

#include <string>

namespace bukvotok {

#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

}  // namespace bukvotok
