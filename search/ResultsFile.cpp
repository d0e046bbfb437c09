#include "ResultsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "Errors.h"

namespace bukvotok {

void SaveResultsFile(const std::string& path, std::string_view text) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw FileCreateError(path, errno);
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + written, text.size() - written);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) break;
        written += static_cast<std::size_t>(wrote);
    }
    const bool closed = ::close(fd) == 0;
    // A full disk may only show when the data is flushed at close.
    if (written < text.size() || !closed) throw StreamWriteError();
}

}  // namespace bukvotok
