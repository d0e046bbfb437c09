#include "OpenFileDialog.h"

#include <commdlg.h>

#include <vector>

#include "ScreenPlace.h"

namespace bukvotok::win32 {

namespace {

// Characters of the path buffer: the longest path Windows takes (the manifest declares the
// program aware of long paths), not the 260 of old, so that a deep folder can be chosen.
constexpr std::size_t kPathBufferSize = 32768;

}  // namespace

std::optional<std::wstring> OpenFileDialog::AskForPath(const std::wstring& offered) {
    std::vector<wchar_t> path(kPathBufferSize, L'\0');
    offered.copy(path.data(), std::min(offered.size(), path.size() - 1));
    const HWND active = ::GetActiveWindow();
    monitor_window_ = active != nullptr ? active : owner_;

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    // The hook only places the dialog; with it the dialog stays in the explorer style that the
    // flags ask for.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_ENABLEHOOK;
    dialog.lpfnHook = &Hook;
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
    if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::wstring(path.data());
}

UINT_PTR CALLBACK OpenFileDialog::Hook(HWND child, UINT message, WPARAM, LPARAM lparam) {
    if (message != WM_NOTIFY) return 0;
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lparam);
    if (notify->hdr.code != CDN_INITDONE) return 0;
    const auto* self = reinterpret_cast<const OpenFileDialog*>(notify->lpOFN->lCustData);
    // In the explorer style the hook's window is a child of the dialog.
    const HWND dialog = ::GetParent(child);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT outer{};
    if (!::GetMonitorInfoW(::MonitorFromWindow(self->monitor_window_, MONITOR_DEFAULTTOPRIMARY),
                           &monitor) ||
        !::GetWindowRect(dialog, &outer)) {
        return 0;
    }
    const RECT& area = monitor.rcMonitor;
    const ScreenPoint place =
        DialogPlace({area.left, area.top, area.right - area.left, area.bottom - area.top},
                    outer.right - outer.left, outer.bottom - outer.top);
    ::SetWindowPos(dialog, nullptr, place.x, place.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

}  // namespace bukvotok::win32
