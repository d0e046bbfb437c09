#include "ResultsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "Errors.h"

namespace bukvotok {

void SaveResultsFile(const std::string& path, std::string_view text) {
    SaveResultsFile(path, std::span<const std::string_view>(&text, 1));
}

void SaveResultsFile(const std::string& path, std::span<const std::string_view> pieces) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw FileCreateError(path, errno);
    bool complete = true;
    for (const std::string_view text : pieces) {
        std::size_t written = 0;
        while (written < text.size()) {
            const ssize_t wrote = ::write(fd, text.data() + written, text.size() - written);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) break;
            written += static_cast<std::size_t>(wrote);
        }
        complete = written == text.size();
        if (!complete) break;
    }
    const bool closed = ::close(fd) == 0;
    // A full disk may only show when the data is flushed at close.
    if (!complete || !closed) throw StreamWriteError();
}

}  // namespace bukvotok
