#include "FileIdentity.h"

#include <windows.h>

#include "windows/FileInformation.h"

namespace bukvotok {

std::optional<FileIdentity> IdentityOf(const NativePath& path) {
    // No access asked for, so that a file another program holds without sharing, or one this
    // user may not read, still tells which it is; a folder needs the backup flag to open at all.
    const HANDLE file =
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(file, &information) != 0;
    ::CloseHandle(file);
    if (!known) return std::nullopt;
    return IdentityFrom(information);
}

}  // namespace bukvotok
