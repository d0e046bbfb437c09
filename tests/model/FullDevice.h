// /dev/full, where every write fails with "No space left on device", for the tests of failing
// saves.  In a chroot or a container it may be missing or an ordinary file: a save there would
// make or fill that file, so those tests run only where it is the character device.  Windows has
// no such device; FailingDisk.h stands in for a full disk there.
#pragma once

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace bukvotok {

#ifdef _WIN32
inline constexpr const wchar_t* kFullDevice = L"/dev/full";
#else
inline constexpr const char* kFullDevice = "/dev/full";
#endif

inline bool HaveFullDevice() {
#ifdef _WIN32
    return false;
#else
    struct stat status {};
    return ::stat(kFullDevice, &status) == 0 && S_ISCHR(status.st_mode);
#endif
}

}  // namespace bukvotok
