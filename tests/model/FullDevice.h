// /dev/full, where every write fails with "No space left on device", for the tests of failing
// saves.  In a chroot or a container it may be missing or an ordinary file: a save there would
// make or fill that file, so those tests run only where it is the character device.
#pragma once

#include <sys/stat.h>

namespace bukvotok {

inline constexpr const char* kFullDevice = "/dev/full";

inline bool HaveFullDevice() {
    struct stat status {};
    return ::stat(kFullDevice, &status) == 0 && S_ISCHR(status.st_mode);
}

}  // namespace bukvotok
