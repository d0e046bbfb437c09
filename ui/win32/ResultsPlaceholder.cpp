#include "ResultsPlaceholder.h"

#include <cstdint>
#include <string>

#include "DocumentResults.h"
#include "Handles.h"
#include "windows/WideText.h"

namespace bukvotok::win32 {

namespace {

constexpr const wchar_t* kClassName = L"BukvotokResultsPlaceholder";
// How often it looks whether the results changed, and how much of their end it shows.
constexpr UINT kRefreshMilliseconds = 100;
constexpr std::size_t kShownBytes = 4096;

struct Shown {
    const DocumentResults* results;
    std::uint64_t changes;
    HFONT font;  // the window's, which it hands every control
};

// The end of the text, wrapped at the width, its last line at the bottom.
void PaintEnd(HWND window, HDC dc, const Shown& shown) {
    RECT client{};
    ::GetClientRect(window, &client);
    ::InflateRect(&client, -2, -2);
    const BlockBytes& bytes = shown.results->Bytes();
    const std::size_t from = bytes.size() > kShownBytes ? bytes.size() - kShownBytes : 0;
    const std::wstring text = Cp1251ToWide(bytes.Copy(from, bytes.size()));
    const SelectedObject selected(dc, shown.font);
    const UINT format = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_LEFT;
    RECT needed = client;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, format | DT_CALCRECT);
    RECT place = client;
    place.top = client.bottom - (needed.bottom - needed.top);
    ::IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place, format);
}

LRESULT CALLBACK PlaceholderProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* shown = reinterpret_cast<Shown*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            const auto* results = static_cast<const DocumentResults*>(
                reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(new Shown{results, 0, nullptr}));
            ::SetTimer(window, 1, kRefreshMilliseconds, nullptr);
            return ::DefWindowProcW(window, message, wparam, lparam);
        }
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete shown;
            return ::DefWindowProcW(window, message, wparam, lparam);
        case WM_SETFONT:
            if (shown != nullptr) shown->font = reinterpret_cast<HFONT>(wparam);
            return 0;
        case WM_TIMER:
            if (shown != nullptr && shown->results->Changes() != shown->changes) {
                shown->changes = shown->results->Changes();
                ::InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_LBUTTONDOWN:
            ::SetFocus(window);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_PAINT: {
            const PaintScope paint(window);
            if (shown != nullptr) PaintEnd(window, paint.Dc(), *shown);
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

HWND CreateResultsPlaceholder(HWND parent, int id, const wchar_t* name, HINSTANCE instance,
                              const DocumentResults& results) {
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
                             instance, const_cast<DocumentResults*>(&results));
}

}  // namespace bukvotok::win32
