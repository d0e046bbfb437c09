// The results text streamed to a file descriptor: buffered, flushed on request, and quiet when
// the reader goes away (a closed pipe ends the output, not the program).
#pragma once

#include <string>
#include <string_view>

#include "StderrLine.h"

namespace bukvotok {

class ResultsOutput {
public:
    // `beside`, when given, is told of every write, to keep its lines off the words.
    explicit ResultsOutput(int fd, StderrLine* beside = nullptr) : fd_(fd), beside_(beside) {}
    ResultsOutput(const ResultsOutput&) = delete;
    ResultsOutput& operator=(const ResultsOutput&) = delete;

    void Write(std::string_view bytes) {
        if (closed_) return;
        buffer_ += bytes;
        if (buffer_.size() >= kBufferSize) Flush();
    }

    void Flush();

    // The reader closed the pipe; nothing more will be written.
    bool Closed() const { return closed_; }

    // A write failed otherwise (a full disk, for instance); holds the errno value, or 0.
    int WriteError() const { return write_error_; }

private:
    static constexpr std::size_t kBufferSize = 1 << 16;

    int fd_;
    StderrLine* beside_;
    std::string buffer_;
    bool closed_ = false;
    int write_error_ = 0;
};

}  // namespace bukvotok
