#include "ResultsPlaceholder.h"

#include "Handles.h"

namespace bukvotok::win32 {

namespace {

constexpr const wchar_t* kClassName = L"BukvotokResultsPlaceholder";

LRESULT CALLBACK PlaceholderProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            ::SetFocus(window);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_PAINT: {
            const PaintScope paint(window);
            if (::GetFocus() == window) {
                RECT client{};
                ::GetClientRect(window, &client);
                ::DrawFocusRect(paint.Dc(), &client);
            }
            return 0;
        }
        default:
            return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

HWND CreateResultsPlaceholder(HWND parent, int id, const wchar_t* name, HINSTANCE instance) {
    WNDCLASSEXW known{};
    known.cbSize = sizeof known;
    if (!::GetClassInfoExW(instance, kClassName, &known)) {
        WNDCLASSEXW placeholder{};
        placeholder.cbSize = sizeof placeholder;
        placeholder.lpfnWndProc = &PlaceholderProc;
        placeholder.hInstance = instance;
        placeholder.hCursor = ::LoadCursorW(nullptr, IDC_IBEAM);
        placeholder.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        placeholder.lpszClassName = kClassName;
        if (!::RegisterClassExW(&placeholder)) return nullptr;
    }
    return ::CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, name, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             instance, nullptr);
}

}  // namespace bukvotok::win32
