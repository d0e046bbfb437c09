// A long save's sign of life.  When a save has run for half a second, a small dialog over the
// window shows how much of the text is in the file ("Сохранение найденного в файл: 512 из
// 2048 МБ") and the window repaints behind it between chunks of the writing.  While it is up
// the window is disabled, so no click or key reaches it and no command starts; the dialog has
// no close box and no cancel button, and ignores Escape and Alt+F4: a save stopped half-way
// would leave a file that looks like the results and lacks their end.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "Handles.h"
#include "NativePath.h"

namespace bukvotok::win32 {

class ProgressAfterDelay {
public:
    // `doing` as the label begins; with no window, shows nothing and lets nothing in.
    ProgressAfterDelay(HWND window, std::wstring doing,
                       std::chrono::milliseconds delay = std::chrono::milliseconds{500});
    ~ProgressAfterDelay();
    ProgressAfterDelay(const ProgressAfterDelay&) = delete;
    ProgressAfterDelay& operator=(const ProgressAfterDelay&) = delete;

    void Report(std::uint64_t done, std::uint64_t total);

    HWND Dialog() const { return dialog_.Get(); }

private:
    void Show();
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

    HWND window_;
    std::wstring doing_;
    std::chrono::milliseconds delay_;
    std::chrono::steady_clock::time_point start_;
    WindowHandle dialog_;
};

// SaveResultsFile, with the progress dialog over `window` once the save has run half a second.
// Messages are let in only while the dialog is up.  Raises what SaveResultsFile raises, with the
// dialog already gone.
void SaveWithProgress(HWND window, const NativePath& path,
                      std::span<const std::string_view> pieces);

}  // namespace bukvotok::win32
