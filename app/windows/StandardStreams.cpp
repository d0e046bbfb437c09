#include "StandardStreams.h"

#include <windows.h>

#include <algorithm>

#include "Cp1251.h"
#include "windows/WideText.h"

namespace bukvotok {

namespace {

bool IsConsole(HANDLE file, DWORD& mode) { return ::GetConsoleMode(file, &mode) != 0; }

int WriteBytes(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD wrote = 0;
        const auto count = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(file, bytes.data(), count, &wrote, nullptr)) {
            return static_cast<int>(::GetLastError());
        }
        if (wrote == 0) return ERROR_WRITE_FAULT;
        bytes.remove_prefix(wrote);
    }
    return 0;
}

int WriteCharacters(HANDLE console, std::wstring_view text) {
    while (!text.empty()) {
        DWORD wrote = 0;
        const auto count = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 14));
        if (!::WriteConsoleW(console, text.data(), count, &wrote, nullptr)) {
            return static_cast<int>(::GetLastError());
        }
        if (wrote == 0) return ERROR_WRITE_FAULT;
        text.remove_prefix(wrote);
    }
    return 0;
}

}  // namespace

NativeFile StandardInput() { return ::GetStdHandle(STD_INPUT_HANDLE); }
NativeFile StandardOutput() { return ::GetStdHandle(STD_OUTPUT_HANDLE); }
NativeFile StandardError() { return ::GetStdHandle(STD_ERROR_HANDLE); }

bool IsTerminal(NativeFile file) {
    DWORD mode = 0;
    return IsConsole(file, mode);
}

bool CanRedrawLine(NativeFile file) {
    DWORD mode = 0;
    if (!IsConsole(file, mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           ::SetConsoleMode(file, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

int WriteText(NativeFile file, std::string_view utf8) {
    DWORD mode = 0;
    if (IsConsole(file, mode)) return WriteCharacters(file, Utf8ToWide(utf8));
    return WriteBytes(file, utf8);
}

std::string ArgumentText(const NativePath& argument) { return WideToUtf8(argument); }

std::string MessageText(std::string_view core_message) { return Cp1251ToUtf8(core_message); }

}  // namespace bukvotok
