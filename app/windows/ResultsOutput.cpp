#include "ResultsOutput.h"

#include <windows.h>

#include "Cp1251.h"
#include "StandardStreams.h"

namespace bukvotok {

bool ResultsOutput::WriteBuffer() {
    if (closed_) return false;
    const int error = IsTerminal(file_) ? WriteText(file_, utf8_ ? buffer_ : Cp1251ToUtf8(buffer_))
                                        : WriteText(file_, buffer_);
    if (error == 0) return true;
    // A pipe whose reader has gone: the output ends, quietly.
    if (error != ERROR_NO_DATA && error != ERROR_BROKEN_PIPE) write_error_ = error;
    closed_ = true;
    // What was taken before the failure is not known here; the progress line is redrawn on a
    // line of its own either way.
    return true;
}

}  // namespace bukvotok
