#include "DictionaryFile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "Errors.h"
#include "MemorySize.h"

namespace bukvotok {

namespace {

// Enough for a small list at once, and for a file that starts with a NUL to cost nothing.
constexpr std::size_t kFirstChunk = 1 << 16;

std::size_t size_limit_for_tests = 0;

std::size_t ComputersOwnLimit() {
    const std::uint64_t memory = PhysicalMemory();
    if (memory == 0) return std::size_t{1} << 30;
    return static_cast<std::size_t>(std::min(memory, AddressSpace()) / 8);
}

void Resize(std::string& bytes, std::size_t size) {
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    } catch (const std::length_error&) {
        throw OutOfMemoryError();
    }
}

// Reads into bytes[filled, bytes.size()) once; false at the end of the data, an error, or a NUL
// byte, after which `bytes` ends with that NUL.
bool ReadMore(NativeFile file, std::string& bytes, std::size_t& filled) {
    const std::size_t got = ReadOnce(file, bytes.data() + filled, bytes.size() - filled);
    if (got == 0) return false;
    const char* const start = bytes.data() + filled;
    const auto* const nul = static_cast<const char*>(std::memchr(start, '\0', got));
    if (nul != nullptr) {
        filled = static_cast<std::size_t>(nul - bytes.data()) + 1;
        return false;
    }
    filled += got;
    return true;
}

std::string Finished(std::string bytes, std::size_t filled) {
    bytes.resize(filled);
    // The entries are kept in this very block, so its slack would stay for the whole run.
    bytes.shrink_to_fit();
    return bytes;
}

}  // namespace

std::size_t DictionarySizeLimit() {
    static const std::size_t computers_own = ComputersOwnLimit();
    return size_limit_for_tests != 0 ? size_limit_for_tests : computers_own;
}

void SetDictionarySizeLimit(std::size_t bytes) { size_limit_for_tests = bytes; }

std::string ReadDictionaryFile(const NativePath& path, Streams streams,
                               std::optional<FileIdentity>* opened) {
    // Opening a FIFO with no writer must not hang the window.  Read to its end, a FIFO waits for
    // its writer, as it does for any other reader.
    const InputFile file = OpenForReading(path, streams == Streams::kReadNothing);
    const FileFacts facts = FactsOf(file, path);
    if (facts.kind == FileFacts::Kind::kDirectory) throw FileOpenError(path, kIsADirectory);
    if (opened) *opened = facts.identity;
    if (facts.kind == FileFacts::Kind::kRegular) {
        // The limit is on the text before the first NUL, which a larger file may well end
        // within: such a file is read as a stream is, and refused only if its text goes on.
        if (facts.size > DictionarySizeLimit()) return ReadToEnd(file.Get());
        return ReadUpTo(file.Get(), static_cast<std::size_t>(facts.size));
    }
    return streams == Streams::kReadToEnd ? ReadToEnd(file.Get()) : std::string();
}

std::string ReadUpTo(NativeFile file, std::size_t size) {
    std::string bytes;
    std::size_t filled = 0;
    // A first small read, so that a file of zeros takes no more; then the whole size at once,
    // as no growing by steps could be cheaper.
    Resize(bytes, std::min(size, kFirstChunk));
    while (filled < size) {
        if (filled == bytes.size()) Resize(bytes, size);
        if (!ReadMore(file, bytes, filled)) break;
    }
    return Finished(std::move(bytes), filled);
}

std::string ReadToEnd(NativeFile file) {
    const std::size_t limit = DictionarySizeLimit();
    std::string bytes;
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // One byte past the limit tells a text that is too long from one just at it.
            if (filled > limit) throw DictionaryTooLargeError(limit);
            Resize(bytes, std::min(std::max(2 * filled, kFirstChunk), limit + 1));
        }
        if (!ReadMore(file, bytes, filled)) break;
    }
    return Finished(std::move(bytes), filled);
}

}  // namespace bukvotok
