// The results file: the results text's bytes exactly, nothing added.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "NativePath.h"
#include "SystemFile.h"

namespace bukvotok {

// A save hands the system at most this much at a time and says how far it has come in
// between, so that a window can show it and repaint.  A write may wait while the system
// flushes earlier ones to disk: with a megabyte the window answered within 40 ms during a
// 2 GiB save, with 8 MiB once only after 0.9 s; the save took as long either way.
inline constexpr std::size_t kSaveChunkBytes = std::size_t{1} << 20;

// Told how many of the text's bytes are in the file: after every kSaveChunkBytes and at the end.
using SaveProgress = std::function<void(std::uint64_t written, std::uint64_t total)>;

// Creates the file, or truncates an existing one without asking, and writes the pieces one
// after another: the file holds exactly their bytes, as if they were one text written in one
// piece.  Raises FileCreateError when the file cannot be created (nothing is written) and
// StreamWriteError when a write takes fewer bytes than given or fails (a full disk), or the
// closing fails (where a network file system reports what it could not store); the file keeps
// what was written.  The file is closed on every path, also when `progress` raises.
//
// The pieces must not change while the save runs, `progress` included.
void SaveResultsFile(const NativePath& path, std::span<const std::string_view> pieces,
                     const SaveProgress& progress = {}, std::size_t chunk_bytes = kSaveChunkBytes);

// The same for a text in one piece, with nobody to tell.
void SaveResultsFile(const NativePath& path, std::string_view text);

// The system calls a save makes after opening the file, replaceable so that tests can fail them
// as a full disk or a network file system does.  Shaped as POSIX's write and close on every
// system (see SystemFile.h).
struct ResultsFileCalls {
    ssize_t (*write)(NativeFile file, const void* bytes, std::size_t count);
    int (*close)(NativeFile file);
};

// Returns the calls replaced; {} brings back the system's own.
ResultsFileCalls ReplaceResultsFileCalls(ResultsFileCalls calls);

}  // namespace bukvotok
