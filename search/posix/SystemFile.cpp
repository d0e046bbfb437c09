#include "SystemFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "Errors.h"

namespace bukvotok {

const int kIsADirectory = EISDIR;

InputFile::~InputFile() {
    if (file_ >= 0) ::close(file_);
}

InputFile OpenForReading(const NativePath& path, bool without_waiting) {
    // POSIX has no sharing modes: other programs may write the file meanwhile, and a file that
    // shrinks is read as far as it goes.
    const int flags = O_RDONLY | O_CLOEXEC | (without_waiting ? O_NONBLOCK : 0);
    const int file = ::open(path.c_str(), flags);
    if (file < 0) throw FileOpenError(path, errno);
    return InputFile(file);
}

FileFacts FactsOf(const InputFile& file, const NativePath& path) {
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) throw FileOpenError(path, errno);
    FileFacts facts;
    facts.identity = FileIdentity{status.st_dev, status.st_ino};
    if (S_ISDIR(status.st_mode)) {
        facts.kind = FileFacts::Kind::kDirectory;
    } else if (S_ISREG(status.st_mode)) {
        facts.kind = FileFacts::Kind::kRegular;
        facts.size = static_cast<std::uint64_t>(status.st_size);
    }
    return facts;
}

std::size_t ReadOnce(NativeFile file, char* bytes, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(file, bytes, count);
        if (got < 0 && errno == EINTR) continue;
        return got < 0 ? 0 : static_cast<std::size_t>(got);
    }
}

NativeFile CreateForWriting(const NativePath& path) {
    const int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) throw FileCreateError(path, errno);
    return file;
}

ssize_t SystemWrite(NativeFile file, const void* bytes, std::size_t count) {
    return ::write(file, bytes, count);
}

int SystemClose(NativeFile file) { return ::close(file); }

bool LastCallInterrupted() { return errno == EINTR; }

int LastSystemError() { return errno; }

}  // namespace bukvotok
