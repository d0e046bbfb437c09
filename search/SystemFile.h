// The operating system's file calls that the core makes, behind one interface: posix/ and
// windows/ each implement it, and the dictionary file and the results file are written once on
// top of it.  A failure is told by the system's own error code (errno, or GetLastError() on
// Windows), which SystemErrorText turns into the message's reason.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

#include "FileIdentity.h"
#include "NativePath.h"

namespace bukvotok {

#ifdef _WIN32
using NativeFile = void*;  // a HANDLE
#else
using NativeFile = int;
#endif

// A file open for reading, closed when this goes.
class InputFile {
public:
    explicit InputFile(NativeFile file) : file_(file) {}
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();
    NativeFile Get() const { return file_; }

private:
    NativeFile file_;
};

// What an open file is.  A stream (a pipe, a terminal, a device) has no size.
struct FileFacts {
    enum class Kind { kRegular, kDirectory, kStream };
    Kind kind = Kind::kStream;
    std::uint64_t size = 0;  // of a regular file
    FileIdentity identity;
};

// Opens an existing file for reading; other programs may read it but not write it while it is
// open.  `without_waiting`: a FIFO without a writer opens at once instead of waiting for one.
// Raises FileOpenError; a directory is one as well, now or when FactsOf finds it.
InputFile OpenForReading(const NativePath& path, bool without_waiting);

// Raises FileOpenError, naming `path`, when the system cannot tell.
FileFacts FactsOf(const InputFile& file, const NativePath& path);

// The error a directory opened for reading is refused with: EISDIR, or on Windows, where a
// directory does not open as a file at all, the ERROR_ACCESS_DENIED Windows answers itself.
extern const int kIsADirectory;

// Reads at most `count` bytes, once: how many arrived, or 0 at the end of the data or on an
// error.  A read interrupted before anything arrived is tried again.
std::size_t ReadOnce(NativeFile file, char* bytes, std::size_t count);

// Creates the file, or truncates an existing one, for reading and writing, and shares it with
// no other program while it is open.  Raises FileCreateError.
NativeFile CreateForWriting(const NativePath& path);

// The system's write and close, shaped as POSIX's: the bytes taken or -1, and 0 or -1.
ssize_t SystemWrite(NativeFile file, const void* bytes, std::size_t count);
int SystemClose(NativeFile file);

// Whether the last call that failed was interrupted by a signal before it did anything, and may
// simply be made again (never, on Windows).
bool LastCallInterrupted();

// The error code of the last system call that failed on this thread.
int LastSystemError();

}  // namespace bukvotok
