// The results text streamed to a file: buffered, flushed on request, and quiet when the reader
// goes away (a closed pipe ends the output, not the program).  The words go out as the bytes they
// are, except to a Windows console, which is handed their characters: in the console's own code
// page, rarely Windows-1251 or UTF-8, the bytes would show as other letters.
#pragma once

#include <string>
#include <string_view>

#include "StderrLine.h"
#include "SystemFile.h"

namespace bukvotok {

class ResultsOutput {
public:
    // `beside`, when given, is told of every write, to keep its lines off the words.  `utf8`:
    // the words are UTF-8 rather than Windows-1251.
    explicit ResultsOutput(NativeFile file, StderrLine* beside = nullptr, bool utf8 = false)
        : file_(file), beside_(beside), utf8_(utf8) {}
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

    // A write failed otherwise (a full disk, for instance); holds the system's error code, or 0.
    int WriteError() const { return write_error_; }

private:
    static constexpr std::size_t kBufferSize = 1 << 16;

    // Hands the buffer to the system, noting a closed reader or an error; whether any of it
    // was taken.  The system's part, in posix/ and windows/.
    bool WriteBuffer();

    NativeFile file_;
    StderrLine* beside_;
    bool utf8_;
    std::string buffer_;
    bool closed_ = false;
    int write_error_ = 0;
};

}  // namespace bukvotok
