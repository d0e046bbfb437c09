#include "CommandRun.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace bukvotok {

namespace {

// One argument of a command line as the C runtime splits it again: quoted when it holds a
// blank or a quote, with the backslashes before a quote, and at the end, doubled.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// A handle the command inherits; ours is closed once it has started.
HANDLE Inheritable(HANDLE handle) {
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, TRUE,
                      DUPLICATE_SAME_ACCESS);
    return copy;
}

HANDLE CreateInheritable(const NativePath& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::string ReadWholeFile(const NativePath& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

Command::Command(const std::vector<Argument>& arguments, Streams streams) {
    const std::string program = BUKVOTOK_SEARCH_PATH;
    const std::wstring program_path(program.begin(), program.end());
    std::wstring line = Quoted(program_path);
    for (const Argument& argument : arguments) line += L" " + Quoted(argument.Native());

    HANDLE in = Inheritable(streams.in != kNoPipe ? streams.in : ::GetStdHandle(STD_INPUT_HANDLE));
    HANDLE out = nullptr;
    HANDLE err = nullptr;
    if (streams.out_and_err != kNoPipe) {
        out = Inheritable(streams.out_and_err);
        err = Inheritable(streams.out_and_err);
    } else {
        out = streams.out != kNoPipe ? Inheritable(streams.out) : CreateInheritable(out_path_);
        err = CreateInheritable(err_path_);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(program_path.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &startup, &started)) {
        process_ = started.hProcess;
        ::CloseHandle(started.hThread);
    }
    for (HANDLE handle : {in, out, err}) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
}

Command::~Command() {
    if (process_ != nullptr) ::CloseHandle(process_);
}

Finished Command::Wait() {
    Finished run;
    if (process_ == nullptr) return run;
    ::WaitForSingleObject(process_, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(process_, &status);
    run.status = static_cast<int>(status);
    run.out = ReadWholeFile(out_path_);
    run.err = ReadWholeFile(err_path_);
    return run;
}

}  // namespace bukvotok
