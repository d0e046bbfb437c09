// The reasons the system gives for the file errors the tests cause, as a message holds them: on
// POSIX systems glibc's English texts, pinned here; on Windows the text of the error code
// Windows answers, in whatever language it speaks.
#pragma once

#include <string>

#include "SystemErrorText.h"

namespace bukvotok {

#ifdef _WIN32
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED; a folder does not open as a
// file at all, and a path through a file names a folder that is not there.
inline const std::string kNoSuchFile = SystemErrorText(2);
inline const std::string kNoSuchFolder = SystemErrorText(3);
inline const std::string kIsAFolder = SystemErrorText(5);
inline const std::string kNotAFolder = SystemErrorText(3);
#else
inline const std::string kNoSuchFile = "No such file or directory";
inline const std::string kNoSuchFolder = "No such file or directory";
inline const std::string kIsAFolder = "Is a directory";
inline const std::string kNotAFolder = "Not a directory";
#endif

}  // namespace bukvotok
