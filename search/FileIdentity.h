// Which file a path names: its device and inode, the same whatever path names it (through a
// symbolic link, a hard link, "..").  A file rewritten in place keeps its identity; one
// replaced by a new file of the same name does not.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace bukvotok {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The file the path names, following symbolic links; nothing when there is none.
std::optional<FileIdentity> IdentityOf(const std::string& path);

}  // namespace bukvotok
