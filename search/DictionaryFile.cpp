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

void Resize(std::string& bytes, std::size_t size) {
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    } catch (const std::length_error&) {
        throw OutOfMemoryError();
    }
}

}  // namespace

std::string ReadDictionaryFile(const std::string& path, Streams streams) {
    // O_NONBLOCK: opening a FIFO with no writer must not hang the window.  Read to its end, a
    // FIFO waits for its writer, as it does for any other reader.
    const int flags = streams == Streams::kReadNothing ? O_NONBLOCK : 0;
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags));
    if (file.Get() < 0) throw FileOpenError(path, errno);

    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) throw FileOpenError(path, errno);
    if (S_ISDIR(status.st_mode)) throw FileOpenError(path, EISDIR);
    if (S_ISREG(status.st_mode)) {
        return ReadUpTo(file.Get(), static_cast<std::size_t>(status.st_size));
    }
    return streams == Streams::kReadToEnd ? ReadToEnd(file.Get()) : std::string();
}

std::string ReadUpTo(int fd, std::size_t size) {
    std::string bytes;
    Resize(bytes, size);
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t got = ::read(fd, bytes.data() + filled, size - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

std::string ReadToEnd(int fd) {
    constexpr std::size_t kChunk = 1 << 16;
    std::string bytes;
    std::size_t filled = 0;
    for (;;) {
        if (bytes.size() < filled + kChunk) {
            Resize(bytes, std::max(2 * bytes.size(), filled + kChunk));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        const char* const start = bytes.data() + filled;
        filled += static_cast<std::size_t>(got);
        if (std::memchr(start, '\0', static_cast<std::size_t>(got)) != nullptr) break;
    }
    bytes.resize(filled);
    // The entries are kept in this very block, so its slack would stay for the whole run.
    bytes.shrink_to_fit();
    return bytes;
}

}  // namespace bukvotok
