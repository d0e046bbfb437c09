#include "DictionaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "Errors.h"

namespace bukvotok {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

// Enough for a small list at once, and for a file that starts with a NUL to cost nothing.
constexpr std::size_t kFirstChunk = 1 << 16;

std::size_t size_limit_for_tests = 0;

std::size_t ComputersOwnLimit() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long page_size = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return std::size_t{1} << 30;
    return static_cast<std::size_t>(pages) / 8 * static_cast<std::size_t>(page_size);
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
bool ReadMore(int fd, std::string& bytes, std::size_t& filled) {
    for (;;) {
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        const char* const start = bytes.data() + filled;
        const auto* const nul =
            static_cast<const char*>(std::memchr(start, '\0', static_cast<std::size_t>(got)));
        if (nul != nullptr) {
            filled = static_cast<std::size_t>(nul - bytes.data()) + 1;
            return false;
        }
        filled += static_cast<std::size_t>(got);
        return true;
    }
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

std::string ReadDictionaryFile(const std::string& path, Streams streams,
                               std::optional<FileIdentity>* opened) {
    // O_NONBLOCK: opening a FIFO with no writer must not hang the window.  Read to its end, a
    // FIFO waits for its writer, as it does for any other reader.
    const int flags = streams == Streams::kReadNothing ? O_NONBLOCK : 0;
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags));
    if (file.Get() < 0) throw FileOpenError(path, errno);

    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) throw FileOpenError(path, errno);
    if (S_ISDIR(status.st_mode)) throw FileOpenError(path, EISDIR);
    if (opened) *opened = FileIdentity{status.st_dev, status.st_ino};
    if (S_ISREG(status.st_mode)) {
        const auto size = static_cast<std::uint64_t>(status.st_size);
        // The limit is on the text before the first NUL, which a larger file may well end
        // within: such a file is read as a stream is, and refused only if its text goes on.
        if (size > DictionarySizeLimit()) return ReadToEnd(file.Get());
        return ReadUpTo(file.Get(), static_cast<std::size_t>(size));
    }
    return streams == Streams::kReadToEnd ? ReadToEnd(file.Get()) : std::string();
}

std::string ReadUpTo(int fd, std::size_t size) {
    std::string bytes;
    std::size_t filled = 0;
    // A first small read, so that a file of zeros takes no more; then the whole size at once,
    // as no growing by steps could be cheaper.
    Resize(bytes, std::min(size, kFirstChunk));
    while (filled < size) {
        if (filled == bytes.size()) Resize(bytes, size);
        if (!ReadMore(fd, bytes, filled)) break;
    }
    return Finished(std::move(bytes), filled);
}

std::string ReadToEnd(int fd) {
    const std::size_t limit = DictionarySizeLimit();
    std::string bytes;
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // One byte past the limit tells a text that is too long from one just at it.
            if (filled > limit) throw DictionaryTooLargeError(limit);
            Resize(bytes, std::min(std::max(2 * filled, kFirstChunk), limit + 1));
        }
        if (!ReadMore(fd, bytes, filled)) break;
    }
    return Finished(std::move(bytes), filled);
}

}  // namespace bukvotok
