#include "SystemFile.h"

#include <windows.h>

#include <algorithm>

#include "Errors.h"
#include "windows/FileInformation.h"

namespace bukvotok {

namespace {

// ReadFile and WriteFile take a 32-bit count.
constexpr std::size_t kLargestCall = std::size_t{1} << 30;

// A console gives at most what its own buffer holds, and fails a larger read on older Windows.
constexpr std::size_t kLargestConsoleRead = std::size_t{1} << 14;

}  // namespace

const int kIsADirectory = ERROR_ACCESS_DENIED;

InputFile::~InputFile() {
    if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
}

InputFile OpenForReading(const NativePath& path, bool) {
    // A folder does not open without the backup flag: it fails here, with the system's reason.
    // Opening a pipe never waits for its other end on Windows.
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw FileOpenError(path, LastSystemError());
    return InputFile(file);
}

FileFacts FactsOf(const InputFile& file, const NativePath& path) {
    FileFacts facts;
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) return facts;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file.Get(), &information)) {
        throw FileOpenError(path, LastSystemError());
    }
    facts.identity = IdentityFrom(information);
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        facts.kind = FileFacts::Kind::kDirectory;
    } else {
        facts.kind = FileFacts::Kind::kRegular;
        facts.size = SizeFrom(information);
    }
    return facts;
}

std::size_t ReadOnce(NativeFile file, char* bytes, std::size_t count) {
    const std::size_t largest =
        ::GetFileType(file) == FILE_TYPE_CHAR ? kLargestConsoleRead : kLargestCall;
    DWORD got = 0;
    // A pipe whose writer has gone ends with ERROR_BROKEN_PIPE: the end of the data, like any
    // other failure here.
    if (!::ReadFile(file, bytes, static_cast<DWORD>(std::min(count, largest)), &got, nullptr)) {
        return 0;
    }
    return got;
}

NativeFile CreateForWriting(const NativePath& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw FileCreateError(path, LastSystemError());
    return file;
}

ssize_t SystemWrite(NativeFile file, const void* bytes, std::size_t count) {
    const char* const start = static_cast<const char*>(bytes);
    std::size_t taken = 0;
    while (taken < count) {
        const auto slice = static_cast<DWORD>(std::min(count - taken, kLargestCall));
        DWORD wrote = 0;
        if (!::WriteFile(file, start + taken, slice, &wrote, nullptr)) {
            if (taken == 0) return -1;
            break;
        }
        taken += wrote;
        if (wrote < slice) break;
    }
    return static_cast<ssize_t>(taken);
}

int SystemClose(NativeFile file) { return ::CloseHandle(file) ? 0 : -1; }

bool LastCallInterrupted() { return false; }

int LastSystemError() { return static_cast<int>(::GetLastError()); }

}  // namespace bukvotok
