// The operating system's side of a file error message: the reason and the path.  Both are the
// bytes of a message: on POSIX systems as the system gives them, on Windows in Windows-1251,
// with "?" for a character the code page does not hold.
#pragma once

#include <string>

#include "NativePath.h"

namespace bukvotok {

// The system's text for an error code (errno, or GetLastError() on Windows), trimmed by
// FittedSystemText.  On POSIX systems it is in English whatever the locale, as the rest of the
// message is; on Windows in the language Windows speaks, or in English where that language has
// letters beyond Windows-1251.
std::string SystemErrorText(int error_code);

// The system's text as a message holds it: "" for a text that does not fit a buffer of 256
// bytes with its terminating NUL, else the text without the control characters, spaces and full
// stops at its end (Windows ends its texts with ".\r\n").
std::string FittedSystemText(std::string text);

// The path made absolute against the current directory, with "." and ".." resolved by name
// only (links are not followed, the file need not exist; on Windows "/" becomes "\" and a path
// on another drive is made absolute against that drive's current folder).  An empty path stays
// empty.
std::string FullPath(const NativePath& path);

}  // namespace bukvotok
