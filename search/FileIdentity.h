// Which file a path names, the same whatever path names it (through a symbolic link, a hard
// link, "..", or on Windows another spelling of the name): on POSIX systems its device and
// inode, on Windows its volume's serial number and its file index on that volume.  A file
// rewritten in place keeps its identity; one replaced by a new file of the same name does not.
#pragma once

#include <cstdint>
#include <optional>

#include "NativePath.h"

namespace bukvotok {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The file the path names, following symbolic links; nothing when there is none.
std::optional<FileIdentity> IdentityOf(const NativePath& path);

}  // namespace bukvotok
