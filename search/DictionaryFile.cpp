#include "DictionaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

std::string ReadDictionaryFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO with no writer must not hang the window.  It has no size, so
    // nothing is read from it.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) throw FileOpenError(path, errno);

    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) throw FileOpenError(path, errno);
    if (S_ISDIR(status.st_mode)) throw FileOpenError(path, EISDIR);
    const auto size = S_ISREG(status.st_mode) ? static_cast<std::size_t>(status.st_size) : 0;

    return ReadUpTo(file.Get(), size);
}

std::string ReadUpTo(int fd, std::size_t size) {
    std::string bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    } catch (const std::length_error&) {
        throw OutOfMemoryError();
    }
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

}  // namespace bukvotok
