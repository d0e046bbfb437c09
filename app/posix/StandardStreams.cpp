#include "StandardStreams.h"

#include <unistd.h>

#include <cerrno>

namespace bukvotok {

NativeFile StandardInput() { return STDIN_FILENO; }
NativeFile StandardOutput() { return STDOUT_FILENO; }
NativeFile StandardError() { return STDERR_FILENO; }

bool IsTerminal(NativeFile file) { return ::isatty(file) != 0; }

bool CanRedrawLine(NativeFile file) { return IsTerminal(file); }

int WriteText(NativeFile file, std::string_view utf8) {
    while (!utf8.empty()) {
        const ssize_t wrote = ::write(file, utf8.data(), utf8.size());
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return wrote < 0 ? errno : EIO;
        utf8.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

std::string ArgumentText(const NativePath& argument) { return argument; }

std::string MessageText(std::string_view core_message) { return std::string(core_message); }

}  // namespace bukvotok
