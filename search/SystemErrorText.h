// The operating system's side of a file error message.
#pragma once

#include <string>

namespace bukvotok {

// The system's text for an errno value, in English whatever the locale, with trailing control
// characters, spaces and full stops removed.  A text that would not fit 255 bytes gives "".
std::string SystemErrorText(int error_code);

// The path made absolute against the current directory, with "." and ".." resolved by name
// only (links are not followed, the file need not exist).  An empty path stays empty.
std::string FullPath(const std::string& path);

}  // namespace bukvotok
