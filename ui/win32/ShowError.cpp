#include "ShowError.h"

#include <string>

#include "ApplicationTitle.h"
#include "Errors.h"
#include "windows/WideText.h"

namespace bukvotok::win32 {

namespace {

BOOL CALLBACK TakeIfVisible(HWND window, LPARAM found) {
    if (!::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

HWND BoxOwner() {
    if (const HWND active = ::GetActiveWindow()) return active;
    // Not yet activated (the window system activates a new window in its own time): the
    // program's visible window, so that the box still stands over it and disables it.
    HWND shown = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &TakeIfVisible, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

std::wstring ErrorText(std::string_view message) {
    const bool utf8 =
        message.empty() || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, message.data(),
                                                 static_cast<int>(message.size()), nullptr, 0) > 0;
    return utf8 ? Utf8ToWide(message) : Cp1251ToWide(message);
}

void ShowError(std::string_view message) {
    const std::wstring text = ErrorText(WithFullStop(std::string(message)));
    const std::wstring title = ApplicationTitle();
    ::MessageBoxW(BoxOwner(), text.c_str(), title.c_str(), MB_ICONERROR | MB_OK);
}

}  // namespace bukvotok::win32
