#include "ResultsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "Errors.h"

namespace bukvotok {

namespace {

// Writes all of `bytes` unless the system stops taking them; returns how many it took.
std::size_t WriteAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) break;
        written += static_cast<std::size_t>(wrote);
    }
    return written;
}

// Returns whether every byte went in.
bool WritePieces(int fd, std::span<const std::string_view> pieces, const SaveProgress& progress,
                 std::size_t chunk_bytes) {
    chunk_bytes = std::max<std::size_t>(chunk_bytes, 1);
    std::uint64_t total = 0;
    for (const std::string_view piece : pieces) total += piece.size();
    std::uint64_t written = 0;
    std::uint64_t reported = 0;
    for (std::string_view piece : pieces) {
        while (!piece.empty()) {
            const std::string_view chunk = piece.substr(0, chunk_bytes);
            const std::size_t took = WriteAll(fd, chunk);
            written += took;
            if (took < chunk.size()) return false;
            piece.remove_prefix(took);
            if (progress && (written - reported >= chunk_bytes || written == total)) {
                reported = written;
                progress(written, total);
            }
        }
    }
    return true;
}

}  // namespace

void SaveResultsFile(const std::string& path, std::span<const std::string_view> pieces,
                     const SaveProgress& progress, std::size_t chunk_bytes) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw FileCreateError(path, errno);
    bool complete = false;
    try {
        complete = WritePieces(fd, pieces, progress, chunk_bytes);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const bool closed = ::close(fd) == 0;
    // A full disk may only show when the data is flushed at close.
    if (!complete || !closed) throw StreamWriteError();
}

void SaveResultsFile(const std::string& path, std::string_view text) {
    SaveResultsFile(path, std::span<const std::string_view>(&text, 1), {});
}

}  // namespace bukvotok
