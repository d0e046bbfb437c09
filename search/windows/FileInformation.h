// What Windows says of an open file, in the core's terms.
#pragma once

#include <windows.h>

#include <cstdint>

#include "FileIdentity.h"

namespace bukvotok {

inline FileIdentity IdentityFrom(const BY_HANDLE_FILE_INFORMATION& information) {
    return FileIdentity{
        information.dwVolumeSerialNumber,
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

inline std::uint64_t SizeFrom(const BY_HANDLE_FILE_INFORMATION& information) {
    return (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
}

}  // namespace bukvotok
