// Pipes that stand in for streams and for files that shrink: each made large enough to hold the
// bytes written into it before anything is read.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <string>

#include "SystemFile.h"

namespace bukvotok {

#ifdef _WIN32
inline const NativeFile kNoPipe = INVALID_HANDLE_VALUE;
inline void ClosePipeEnd(NativeFile end) { ::CloseHandle(end); }
#else
inline constexpr NativeFile kNoPipe = -1;
inline void ClosePipeEnd(NativeFile end) { ::close(end); }
#endif

// Writes `bytes` into a new pipe and gives its reading end, or kNoPipe; the writing end is
// closed unless `keep_writer` asks for it open.
inline NativeFile PipeHolding(const std::string& bytes, NativeFile* keep_writer = nullptr) {
#ifdef _WIN32
    // Not inheritable: a command started meanwhile holds no end it was not given.
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    if (!::CreatePipe(&reader, &writer, nullptr, static_cast<DWORD>(bytes.size() + 1))) {
        return kNoPipe;
    }
    DWORD wrote = 0;
    if (!::WriteFile(writer, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) ||
        wrote != bytes.size()) {
        return kNoPipe;
    }
#else
    // Close-on-exec: a command started meanwhile holds no end it was not given.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return kNoPipe;
    const int reader = ends[0];
    const int writer = ends[1];
    if (bytes.size() > 4096 && ::fcntl(writer, F_SETPIPE_SZ, static_cast<int>(bytes.size())) < 0) {
        return kNoPipe;
    }
    if (::write(writer, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        return kNoPipe;
    }
#endif
    if (keep_writer) {
        *keep_writer = writer;
    } else {
        ClosePipeEnd(writer);
    }
    return reader;
}

}  // namespace bukvotok
