// The one file dialog of the window, shared by loading and saving: the system's "open file"
// dialog in the explorer style, resizable, without the read-only box, with no filter and no
// default extension; any name is accepted, existing or not.  It offers the path it is given
// (the window's last confirmed one), owned by the window, and opens centred across the active
// window's monitor and a third of the way down.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace bukvotok::win32 {

class OpenFileDialog {
public:
    explicit OpenFileDialog(HWND owner) : owner_(owner) {}

    // Offers `offered`: the confirmed path, or nothing when the user cancelled.
    std::optional<std::wstring> AskForPath(const std::wstring& offered);

private:
    static UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM wparam, LPARAM lparam);

    HWND owner_;
    HWND monitor_window_ = nullptr;  // whose monitor the dialog opens on
};

}  // namespace bukvotok::win32
