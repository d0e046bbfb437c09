#include "ResultsFile.h"

#include <algorithm>
#include <utility>

#include "Errors.h"
#include "SystemFile.h"

namespace bukvotok {

namespace {

ResultsFileCalls& Calls() {
    static ResultsFileCalls calls{SystemWrite, SystemClose};
    return calls;
}

// Hands `bytes` to the system in one write and returns how many it took.  Only a write
// interrupted before it took anything is tried again: one that took fewer bytes than given has
// met a full disk or a limit, and the save ends there.
std::size_t WriteOnce(NativeFile file, std::string_view bytes) {
    for (;;) {
        const ssize_t wrote = Calls().write(file, bytes.data(), bytes.size());
        if (wrote < 0 && LastCallInterrupted()) continue;
        return wrote < 0 ? 0 : static_cast<std::size_t>(wrote);
    }
}

// Returns whether every byte went in.
bool WritePieces(NativeFile file, std::span<const std::string_view> pieces,
                 const SaveProgress& progress, std::size_t chunk_bytes) {
    chunk_bytes = std::max<std::size_t>(chunk_bytes, 1);
    std::uint64_t total = 0;
    for (const std::string_view piece : pieces) total += piece.size();
    std::uint64_t written = 0;
    std::uint64_t reported = 0;
    for (std::string_view piece : pieces) {
        while (!piece.empty()) {
            const std::string_view chunk = piece.substr(0, chunk_bytes);
            const std::size_t took = WriteOnce(file, chunk);
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

void SaveResultsFile(const NativePath& path, std::span<const std::string_view> pieces,
                     const SaveProgress& progress, std::size_t chunk_bytes) {
    const NativeFile file = CreateForWriting(path);
    bool complete = false;
    try {
        complete = WritePieces(file, pieces, progress, chunk_bytes);
    } catch (...) {
        Calls().close(file);
        throw;
    }
    const bool closed = Calls().close(file) == 0;
    // A full disk may only show when the data is flushed at close.
    if (!complete || !closed) throw StreamWriteError();
}

void SaveResultsFile(const NativePath& path, std::string_view text) {
    SaveResultsFile(path, std::span<const std::string_view>(&text, 1), {});
}

ResultsFileCalls ReplaceResultsFileCalls(ResultsFileCalls calls) {
    if (calls.write == nullptr) calls.write = SystemWrite;
    if (calls.close == nullptr) calls.close = SystemClose;
    std::swap(Calls(), calls);
    return calls;
}

}  // namespace bukvotok
