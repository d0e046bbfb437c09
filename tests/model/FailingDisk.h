// A disk for tests of the results file, standing in for its system calls while it lives: it
// takes the first `room` bytes of a save into the real file and then fails the way a full disk,
// a limit or a network file system does.
#pragma once

#include <cerrno>
#include <cstddef>

#include "ResultsFile.h"

namespace bukvotok {

class FailingDisk {
public:
    enum class Failure {
        // The write that meets the room takes only what fits; later writes would take
        // everything, so a save that tried again would not notice.
        kShortWrite,
        // As Linux does: the write that meets the room takes what fits, the next fails ENOSPC.
        kFull,
        // Every write is taken, and closing the file reports EIO.
        kClose,
        // Each write is first interrupted by a signal before it takes anything (POSIX systems:
        // nothing interrupts a call on Windows).
        kInterrupted,
    };

    FailingDisk(Failure failure, std::size_t room) {
        failure_ = failure;
        room_ = room;
        interrupted_ = false;
        replaced_ = ReplaceResultsFileCalls({Write, Close});
    }
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;
    ~FailingDisk() { ReplaceResultsFileCalls(replaced_); }

private:
    // What the system's calls answer goes through to the save; what the disk fails is told as
    // POSIX does (errno).  The save looks only at -1 on Windows.
    static ssize_t Write(NativeFile file, const void* bytes, std::size_t count) {
        if (failure_ == Failure::kInterrupted) {
            interrupted_ = !interrupted_;
            if (interrupted_) {
                errno = EINTR;
                return -1;
            }
        }
        if (failure_ == Failure::kShortWrite || failure_ == Failure::kFull) {
            if (room_ == 0 && failure_ == Failure::kFull) {
                errno = ENOSPC;
                return -1;
            }
            if (count > room_ && room_ > 0) count = room_;
        }
        const ssize_t wrote = replaced_.write(file, bytes, count);
        if (wrote > 0 && room_ > 0) room_ -= static_cast<std::size_t>(wrote);
        return wrote;
    }

    static int Close(NativeFile file) {
        const int closed = replaced_.close(file);
        if (failure_ != Failure::kClose) return closed;
        errno = EIO;
        return -1;
    }

    static inline Failure failure_ = Failure::kClose;
    static inline std::size_t room_ = 0;
    static inline bool interrupted_ = false;
    static inline ResultsFileCalls replaced_{};
};

}  // namespace bukvotok
