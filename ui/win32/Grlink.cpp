#include "Grlink.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstring>
#include <new>
#include <stdexcept>

#include "Errors.h"
#include "GrlinkAccessible.h"
#include "ShowError.h"
#include "Utf16.h"
#include "WindowFont.h"
#include "WindowObject.h"
#include "windows/WideText.h"

namespace bukvotok::win32 {

namespace {

constexpr LCID kRussian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);

CursorHandle LoadHand(HINSTANCE instance) {
    // The program's own copy (no LR_SHARED), which the registry destroys when it replaces it.
    return CursorHandle(
        static_cast<HCURSOR>(::LoadImageW(instance, L"HAND", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
}

// `size` bytes of `data` in memory the clipboard can take over.
GlobalMemory ClipboardCopy(const void* data, std::size_t size) {
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    void* locked = memory ? ::GlobalLock(memory.Get()) : nullptr;
    if (locked == nullptr) throw std::bad_alloc();
    std::memcpy(locked, data, size);
    ::GlobalUnlock(memory.Get());
    return memory;
}

}  // namespace

void TGrlink::RegisterClassOnce(HINSTANCE instance) {
    WNDCLASSEXW known{};
    known.cbSize = sizeof known;
    if (::GetClassInfoExW(instance, kClassName, &known)) return;
    WNDCLASSEXW link_class{};
    link_class.cbSize = sizeof link_class;
    // A double click comes as one message, so that its second press does not click again.
    link_class.style = CS_DBLCLKS;
    link_class.lpfnWndProc = &ObjectWindowProc<TGrlink>;
    link_class.hInstance = instance;
    link_class.lpszClassName = kClassName;
    if (!::RegisterClassExW(&link_class)) throw std::runtime_error("Cannot register TGrlink");
}

TGrlink::TGrlink(HWND parent, int id, CursorRegistry& cursors, HINSTANCE instance)
    : cursors_(cursors) {
    RegisterClassOnce(instance);
    // Every link registers the hand again, so the number always means this image even if
    // something else took it in the meantime.
    if (CursorHandle hand = LoadHand(instance)) cursors_.Set(HandCursorIndex, std::move(hand));

    link_menu_.Reset(::CreatePopupMenu());
    if (!link_menu_ || !::AppendMenuW(link_menu_.Get(), MF_STRING, kCopyCommand, L"&Copy")) {
        throw std::runtime_error("Cannot create the link's menu");
    }
    // ObjectWindowProc takes the handle into window_ as the window is made.
    ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (!window_) throw std::runtime_error("Cannot create TGrlink");
    OnSetFont(reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)), false);
}

TGrlink::~TGrlink() {
    if (accessible_ != nullptr) {
        // A screen reader may hold it longer; from now on it answers that the link is gone.
        accessible_->Disconnect();
        accessible_->Release();
    }
    Forget(window_.Get());
}

LRESULT TGrlink::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_.Get();
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_SETCURSOR:
            ::SetCursor(cursors_.Get(HandCursorIndex));
            return TRUE;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLeftButtonDown(message == WM_LBUTTONDBLCLK);
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp(lparam);
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged(reinterpret_cast<HWND>(lparam));
            return 0;
        case WM_CONTEXTMENU:
            OnContextMenu(lparam);
            return 0;
        case WM_GETOBJECT:
            return OnGetObject(wparam, lparam);
        case WM_SETFONT:
            OnSetFont(reinterpret_cast<HFONT>(wparam), LOWORD(lparam) != 0);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_.Get());
        case WM_SETTEXT: {
            const LRESULT result = ::DefWindowProcW(window, message, wparam, lparam);
            FitToText();
            ::InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        case GrlinkAccessible::kActivateMessage:
            Activate();
            return 0;
        default:
            return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

void TGrlink::OnPaint() {
    const HWND window = window_.Get();
    PaintScope paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    // The parent's background, as it gives its labels.
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(window), WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(paint.Dc()),
                                                         reinterpret_cast<LPARAM>(window)));
    ::FillRect(paint.Dc(), &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
    const SelectedObject font(paint.Dc(), font_ ? font_.Get() : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetTextColor(paint.Dc(), color_);
    ::SetBkMode(paint.Dc(), TRANSPARENT);
    const std::wstring caption = CaptionText();
    ::DrawTextW(paint.Dc(), caption.c_str(), static_cast<int>(caption.size()), &client,
                DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
}

void TGrlink::OnLeftButtonDown(bool second_of_double_click) {
    // The release comes here even when the pointer has left the link.
    ::SetCapture(window_.Get());
    if (second_of_double_click) {
        behaviour_.LeftDoubleClick();
    } else {
        behaviour_.LeftPress();
    }
}

void TGrlink::OnLeftButtonUp(LPARAM position) {
    const HWND window = window_.Get();
    // First the link lets the mouse go, then the click runs, then the colour goes back.
    if (::GetCapture() == window) {
        releasing_capture_ = true;
        ::ReleaseCapture();
        releasing_capture_ = false;
    }
    RECT client{};
    ::GetClientRect(window, &client);
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    // After this the link may be gone.
    static_cast<void>(behaviour_.LeftRelease(::PtInRect(&client, point) != FALSE));
}

void TGrlink::OnCaptureChanged(HWND new_owner) {
    // Another window took the mouse (a box popped up, the user switched programs): the release
    // will not come here, so the link goes back to its colour now rather than stay lit.
    if (!releasing_capture_ && new_owner != window_.Get()) {
        static_cast<void>(behaviour_.LeftRelease(false));
    }
}

void TGrlink::OnContextMenu(LPARAM screen_position) {
    POINT point{GET_X_LPARAM(screen_position), GET_Y_LPARAM(screen_position)};
    if (screen_position == -1) {  // from the keyboard: under the link's middle
        RECT client{};
        ::GetClientRect(window_.Get(), &client);
        point = {client.right / 2, client.bottom / 2};
        ::ClientToScreen(window_.Get(), &point);
    }
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenuEx(link_menu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                           point.x, point.y, window_.Get(), nullptr));
    if (command == kCopyCommand) RunCommand([this] { CopyCaption(); });
}

LRESULT TGrlink::OnGetObject(WPARAM flags, LPARAM object_id) {
    if (static_cast<DWORD>(object_id) != static_cast<DWORD>(OBJID_CLIENT)) {
        return ::DefWindowProcW(window_.Get(), WM_GETOBJECT, flags, object_id);
    }
    if (accessible_ == nullptr) accessible_ = GrlinkAccessible::Create(*this);
    if (accessible_ == nullptr) return 0;
    return accessible_->Lresult(flags);
}

void TGrlink::OnSetFont(HFONT font, bool redraw) {
    // A link stays underlined whatever font its parent hands it.
    font_ = CreateUnderlinedFont(font);
    FitToText();
    if (redraw) ::InvalidateRect(window_.Get(), nullptr, TRUE);
}

// A label fits its text: one line, as wide as the caption and as high as the font's lines.
void TGrlink::FitToText() {
    const HWND window = window_.Get();
    if (window == nullptr) return;
    const WindowDc dc(window);
    const SelectedObject font(dc.Get(), font_ ? font_.Get() : ::GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring caption = CaptionText();
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    ::SetWindowPos(window, nullptr, 0, 0, extent.cx, metrics.tmHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TGrlink::SetCaption(const std::wstring& caption) {
    ::SetWindowTextW(window_.Get(), caption.c_str());
}

std::wstring TGrlink::CaptionText() const {
    const HWND window = window_.Get();
    std::wstring caption(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
    return caption;
}

std::wstring TGrlink::URL() const { return ToWide(behaviour_.URL()); }

std::wstring TGrlink::Target() const { return ToWide(behaviour_.Target()); }

std::u16string TGrlink::Caption() const { return ToUtf16(CaptionText()); }

void TGrlink::SetFontColor(LinkColor color) {
    color_ = color;
    // Drawn at once: the click's shell call runs while the link is lit, and holds the thread.
    ::InvalidateRect(window_.Get(), nullptr, FALSE);
    ::UpdateWindow(window_.Get());
}

bool TGrlink::RaiseClicked() {
    // The label's click, as a static control with SS_NOTIFY tells its parent.
    const HWND window = window_.Get();
    ::SendMessageW(::GetParent(window), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(window), STN_CLICKED),
                   reinterpret_cast<LPARAM>(window));
    return ::IsWindow(window) != FALSE;
}

bool TGrlink::Open(const std::u16string& target) {
    const HWND window = window_.Get();
    if (opener_) {
        const Opener open = opener_;  // a copy: the opener may replace itself
        open(ToWide(target));
    } else {
        ShellOpen(ToWide(target));
    }
    return ::IsWindow(window) != FALSE;
}

void TGrlink::ShellOpen(const std::wstring& target) {
    // The shell's answer is not examined: there is no one to tell.
    ::ShellExecuteW(::GetDesktopWindow(), L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TGrlink::PutOnClipboard(const std::u16string& text) {
    const std::wstring wide = ToWide(text);
    // Everything is made before the clipboard is emptied, so a failure leaves it as it was.
    GlobalMemory unicode = ClipboardCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    // Programs that read 8-bit text get it in Windows-1251, and the locale says so.
    const std::string bytes = WideToCp1251(wide);
    GlobalMemory ansi = ClipboardCopy(bytes.c_str(), bytes.size() + 1);
    GlobalMemory locale = ClipboardCopy(&kRussian, sizeof kRussian);

    const OpenClipboardScope clipboard(window_.Get());
    if (!clipboard.Opened()) throw ClipboardError();
    ::EmptyClipboard();
    if (::SetClipboardData(CF_UNICODETEXT, unicode.Get())) static_cast<void>(unicode.Take());
    if (::SetClipboardData(CF_TEXT, ansi.Get())) static_cast<void>(ansi.Take());
    if (::SetClipboardData(CF_LOCALE, locale.Get())) static_cast<void>(locale.Take());
}

}  // namespace bukvotok::win32
