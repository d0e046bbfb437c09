#include "ResultsOutput.h"

#include <unistd.h>

#include <cerrno>

namespace bukvotok {

void ResultsOutput::Flush() {
    if (buffer_.empty()) return;
    if (beside_ != nullptr) beside_->BeforeWords();
    std::size_t done = 0;
    while (done < buffer_.size() && !closed_) {
        const ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (errno != EPIPE) write_error_ = errno;
            closed_ = true;
            break;
        }
        done += static_cast<std::size_t>(wrote);
    }
    buffer_.clear();
    if (beside_ != nullptr && done > 0) beside_->AfterWords();
}

}  // namespace bukvotok
