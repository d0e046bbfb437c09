#include "ResultsOutput.h"

#include <unistd.h>

#include <cerrno>

namespace bukvotok {

bool ResultsOutput::WriteBuffer() {
    std::size_t done = 0;
    while (done < buffer_.size() && !closed_) {
        const ssize_t wrote = ::write(file_, buffer_.data() + done, buffer_.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (errno != EPIPE) write_error_ = errno;
            closed_ = true;
            break;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return done > 0;
}

}  // namespace bukvotok
