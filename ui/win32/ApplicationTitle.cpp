#include "ApplicationTitle.h"

#include <windows.h>

#include <vector>

namespace bukvotok::win32 {

namespace {
constexpr std::size_t kPathBufferSize = 256;  // characters, terminator included
}  // namespace

std::wstring ApplicationTitleFromPath(std::wstring_view path) {
    path = path.substr(0, kPathBufferSize - 1);
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring_view::npos) path.remove_prefix(separator + 1);
    std::wstring name(path.substr(0, path.find(L'.')));
    if (name.size() > 1) {
        ::CharLowerBuffW(name.data() + 1, static_cast<DWORD>(name.size() - 1));
    }
    return name;
}

std::wstring ApplicationTitle() {
    // The whole path, however long, so that the cut above is the only one.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return ApplicationTitleFromPath({path.data(), length});
        path.resize(path.size() * 2);
    }
}

}  // namespace bukvotok::win32
