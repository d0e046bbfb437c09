// The one file dialog of the window, shared by loading and saving: the system's "open file"
// dialog in the explorer style, resizable, without the read-only box, with no filter and no
// default extension; any name is accepted, existing or not.  It offers the full path last
// confirmed, owned by the window, and opens centred across the active window's monitor and a
// third of the way down.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace bukvotok::win32 {

class OpenFileDialog {
public:
    explicit OpenFileDialog(HWND owner) : owner_(owner) {}

    // The confirmed path, or nothing when the user cancelled.
    std::optional<std::wstring> AskForPath();

    const std::wstring& LastPath() const { return last_path_; }

private:
    static UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM wparam, LPARAM lparam);

    HWND owner_;
    std::wstring last_path_;
    HWND monitor_window_ = nullptr;  // whose monitor the dialog opens on
};

}  // namespace bukvotok::win32
