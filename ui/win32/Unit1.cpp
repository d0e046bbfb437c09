#include "Unit1.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "Dpi.h"
#include "LinkAddresses.h"
#include "Question.h"
#include "SaveProgressDialog.h"
#include "ScreenPlace.h"
#include "ShowError.h"
#include "Utf16.h"
#include "WindowFont.h"
#include "WindowObject.h"
#include "windows/WideText.h"

namespace bukvotok::win32 {

namespace {

// The layout, at 96 ppi: the window's client area and every control, in the order it is made
// (which is also the order Tab visits the focusable ones).  Labels and links fit their width
// and height to their text.
constexpr int kClientWidth = 344;
constexpr int kClientHeight = 239;
constexpr POINT kWindowPlace{749, 191};
constexpr int kScrollLine = 8;

enum class Kind { kLabel, kLink, kButton, kCheckBox, kResults };

struct LaidOut {
    TForm1::ControlId id;
    Kind kind;
    RECT place;  // left, top, right, bottom
    const wchar_t* text;
};

// The dictionary's hidden list has no place here: the dictionary lives in the window's
// commands.
constexpr LaidOut kLayout[] = {
    {TForm1::Label3, Kind::kLabel, {8, 64, 159, 77}, L"Найденные совпадения слов:"},
    {TForm1::Label4, Kind::kLabel, {8, 200, 40, 213}, L"Label4"},
    {TForm1::Grlink1, Kind::kLink, {80, 216, 197, 229}, nullptr},
    {TForm1::Grlink2, Kind::kLink, {216, 216, 331, 229}, nullptr},
    {TForm1::Label1, Kind::kLabel, {8, 216, 77, 229}, L"Информация:"},
    {TForm1::Label2, Kind::kLabel, {200, 216, 206, 229}, L"и"},
    {TForm1::Button2, Kind::kButton, {8, 8, 169, 33}, L"Загрузить словарь"},
    {TForm1::Button4, Kind::kButton, {176, 8, 337, 33}, L"Найти совпадения"},
    {TForm1::Memo1, Kind::kResults, {8, 80, 337, 193}, L"Найденные совпадения слов"},
    {TForm1::Button5, Kind::kButton, {176, 38, 337, 65}, L"Сохранить найденное в файл"},
    {TForm1::CheckBox1, Kind::kCheckBox, {8, 40, 89, 63}, L"Остановить"},
    {TForm1::Button1, Kind::kButton, {96, 40, 169, 65}, L"Очистить"},
};

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

bool IsPushButton(TForm1::ControlId id) {
    return id == TForm1::Button2 || id == TForm1::Button4 || id == TForm1::Button5 ||
           id == TForm1::Button1;
}

void RegisterClassOnce(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW known{};
    known.cbSize = sizeof known;
    if (::GetClassInfoExW(instance, TForm1::kClassName, &known)) return;
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = procedure;
    form.hInstance = instance;
    // Icons from the program's resources are shared by Windows, which frees them itself.
    form.hIcon = static_cast<HICON>(
        ::LoadImageW(instance, L"MAINICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    form.hIconSm = static_cast<HICON>(::LoadImageW(instance, L"MAINICON", IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = TForm1::kClassName;
    if (!::RegisterClassExW(&form)) throw std::runtime_error("Cannot register TForm1");
}

}  // namespace

TForm1::TForm1(HINSTANCE instance, CursorRegistry& cursors)
    : cursors_(cursors), commands_(std::make_unique<MainWindow>(*this, results_)) {
    RegisterClassOnce(instance, &ObjectWindowProc<TForm1>);
    // ObjectWindowProc takes the handle into window_ as the window is made.
    ::CreateWindowExW(0, kClassName, L"Буквоток", kWindowStyle, kWindowPlace.x, kWindowPlace.y,
                      kClientWidth, kClientHeight, nullptr, nullptr, instance, this);
    if (!window_) throw std::runtime_error("Cannot create TForm1");
    open_dialog_ = OpenFileDialog(window_.Get());
    dpi_ = DpiOf(window_.Get());
    font_ = CreateWindowFont(dpi_);
    CreateControls(instance);
    ApplyFont();
    Layout();

    // The client area as laid out, whatever the system's frame adds around it; the frame's
    // corner at the laid-out place, kept whole on the monitor's working area.
    const RECT outer =
        OuterRect({0, 0, Scaled(kClientWidth), Scaled(kClientHeight)}, kWindowStyle, 0, dpi_);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const POINT wanted{Scaled(kWindowPlace.x), Scaled(kWindowPlace.y)};
    const RECT frame{wanted.x, wanted.y, wanted.x + width, wanted.y + height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ScreenPoint place{wanted.x, wanted.y};
    if (::GetMonitorInfoW(::MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        place = NearestPlaceInside(
            {wanted.x, wanted.y, width, height},
            {work.left, work.top, work.right - work.left, work.bottom - work.top});
    }
    ::SetWindowPos(window_.Get(), nullptr, place.x, place.y, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

TForm1::~TForm1() {
    // The links first: their windows go with the form's.
    grlink1_.reset();
    grlink2_.reset();
    Forget(window_.Get());
}

void TForm1::CreateControls(HINSTANCE instance) {
    const HWND window = window_.Get();
    for (const LaidOut& control : kLayout) {
        const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id));
        const DWORD child = WS_CHILD | WS_VISIBLE;
        HWND made = nullptr;
        switch (control.kind) {
            case Kind::kLabel:
                made = ::CreateWindowExW(0, L"STATIC", control.text, child | SS_LEFTNOWORDWRAP, 0,
                                         0, 0, 0, window, menu, instance, nullptr);
                break;
            case Kind::kLink: {
                auto link = std::make_unique<TGrlink>(window, control.id, cursors_, instance);
                const std::u16string_view address = control.id == Grlink1 ? kSiteUrl : kForumUrl;
                link->SetCaption(ToWide(address));
                link->SetURL(ToWide(address));
                made = link->Handle();
                (control.id == Grlink1 ? grlink1_ : grlink2_) = std::move(link);
                break;
            }
            case Kind::kButton:
                made = ::CreateWindowExW(0, L"BUTTON", control.text,
                                         child | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0, 0, 0, 0,
                                         window, menu, instance, nullptr);
                break;
            case Kind::kCheckBox:
                made = ::CreateWindowExW(0, L"BUTTON", control.text,
                                         child | WS_TABSTOP | BS_AUTOCHECKBOX | BS_NOTIFY, 0, 0, 0,
                                         0, window, menu, instance, nullptr);
                break;
            case Kind::kResults:
                results_.Create(window, control.id, control.text, instance);
                made = results_.Handle();
                break;
        }
        if (made == nullptr) throw std::runtime_error("Cannot create the window's controls");
    }
}

int TForm1::Scaled(int pixels) const { return Scale(pixels, dpi_); }

void TForm1::ApplyFont() {
    for (const LaidOut& control : kLayout) {
        const HWND child = Control(control.id);
        // A link makes its own underlined font of it, and fits itself to its caption.
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        if (control.kind == Kind::kLabel) FitLabel(child);
    }
}

void TForm1::Layout() {
    const HWND window = window_.Get();
    for (const LaidOut& control : kLayout) {
        const HWND child = Control(control.id);
        const int left = Scaled(control.place.left) - scroll_.x;
        const int top = Scaled(control.place.top) - scroll_.y;
        if (control.kind == Kind::kLabel || control.kind == Kind::kLink) {
            ::SetWindowPos(child, nullptr, left, top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            ::SetWindowPos(child, nullptr, left, top,
                           Scaled(control.place.right) - Scaled(control.place.left),
                           Scaled(control.place.bottom) - Scaled(control.place.top),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ::InvalidateRect(window, nullptr, TRUE);
}

// A label fits its text: as wide as the text and a space, as high as the font's lines, an
// ampersand marking an access key as Windows' labels take it.  The space is room for the label's
// own drawing, which under wine drops a last character that fills the width exactly (the "!" of
// a status).
void TForm1::FitLabel(HWND label) const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    const WindowDc dc(label);
    const SelectedObject font(dc.Get(), font_.Get());
    RECT extent{};
    ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent,
                DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    SIZE space{};
    ::GetTextExtentPoint32W(dc.Get(), L" ", 1, &space);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    ::SetWindowPos(label, nullptr, 0, 0, extent.right - extent.left + space.cx, metrics.tmHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::Show(int show_command) {
    const int shown = show_command == SW_SHOWMAXIMIZED     ? SW_SHOWMAXIMIZED
                      : show_command == SW_SHOWMINNOACTIVE ? SW_SHOWMINNOACTIVE
                                                           : SW_SHOWNORMAL;
    ::ShowWindow(window_.Get(), shown);
    focus_ = Control(Button2);
    if (shown != SW_SHOWMINNOACTIVE) ::SetFocus(focus_);
    ::UpdateWindow(window_.Get());
}

void TForm1::SetStatus(std::string_view text) {
    const HWND status = Control(Label4);
    ::SetWindowTextW(status, Cp1251ToWide(text).c_str());
    FitLabel(status);
    ::UpdateWindow(status);
}

bool TForm1::StopRequested() const {
    return ::SendMessageW(Control(CheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

LRESULT TForm1::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_.Get();
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wparam);
            ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus != nullptr && ::IsChild(window, focus)) focus_ = focus;
            } else if (focus_ != nullptr && !::IsIconic(window)) {
                ::SetFocus(focus_);
            }
            return 0;
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wparam));
            return 0;
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wparam));
            return 0;
        case WM_MOUSEWHEEL:
            OnScroll(SB_VERT, GET_WHEEL_DELTA_WPARAM(wparam) > 0 ? SB_LINEUP : SB_LINEDOWN);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_CLOSE:
            if (commands_->CloseAsked()) ::DestroyWindow(window);
            return 0;
        case WM_QUERYENDSESSION:
            return QueryEndSession() ? TRUE : FALSE;
        case WM_ENDSESSION:
            // Windows ends the program once this returns: what closing would ask, the session's
            // query has asked.
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

void TForm1::OnCommand(int id, int notification) {
    // Return on a focused button comes as IDOK (the dialog keys' handling of the message loop):
    // it presses that button, as Space does.
    if (id == IDOK) {
        const HWND focus = ::GetFocus();
        const int focus_id = focus != nullptr ? ::GetDlgCtrlID(focus) : 0;
        if (::IsChild(window_.Get(), focus) && IsPushButton(static_cast<ControlId>(focus_id))) {
            ::SendMessageW(focus, BM_CLICK, 0, 0);
        }
        return;
    }
    if (notification == BN_SETFOCUS) {
        ScrollIntoView(Control(static_cast<ControlId>(id)));
        return;
    }
    if (notification != BN_CLICKED) return;
    // Each command reports its own errors.
    switch (id) {
        case Button2:
            commands_->Button2Click();
            break;
        case Button4:
            commands_->Button4Click();
            break;
        case Button5:
            commands_->Button5Click();
            break;
        case Button1:
            commands_->Button1Click();
            break;
        case CheckBox1:
            commands_->StopBoxChanged(StopRequested());
            break;
        default:
            break;
    }
}

void TForm1::Deliver(MSG& message) {
    if (window_ && ::IsDialogMessageW(window_.Get(), &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

void TForm1::ProcessPendingEvents() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program's own loop ends the program, once the command that pumps returns.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Deliver(message);
    }
}

void TForm1::WaitForEvents() {
    ::WaitMessage();
    ProcessPendingEvents();
}

bool TForm1::AskToReplaceDictionary(const NativePath& path) {
    return win32::AskToReplaceDictionary(path);
}

Answer TForm1::AskYesNoCancel(std::string_view question) {
    return win32::AskYesNoCancel(Utf8ToWide(question));
}

bool TForm1::AskQuestion(std::string_view question) {
    return win32::AskQuestion(Utf8ToWide(question));
}

void TForm1::SaveWithProgress(const NativePath& path, std::span<const std::string_view> pieces) {
    win32::SaveWithProgress(window_.Get(), path, pieces);
}

void TForm1::ShowError(std::string_view message) { win32::ShowError(message); }

void TForm1::CloseWindow() { ::SendMessageW(window_.Get(), WM_CLOSE, 0, 0); }

bool TForm1::QueryEndSession() {
    bool cancelled = false;
    commands_->CommitData({[] { return true; }, [] {}, [&cancelled] { cancelled = true; }});
    return !cancelled;
}

void TForm1::OnDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    font_ = CreateWindowFont(dpi_);
    ::SetWindowPos(window_.Get(), nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyFont();
    OnSize();
    Layout();
}

// The scroll bars show when the client area is smaller than the layout, and the controls move
// with them.
void TForm1::OnSize() {
    RECT client{};
    ::GetClientRect(window_.Get(), &client);
    const POINT before = scroll_;
    const int content[] = {Scaled(kClientWidth), Scaled(kClientHeight)};
    const int page[] = {client.right, client.bottom};
    const int bars[] = {SB_HORZ, SB_VERT};
    for (int i = 0; i < 2; ++i) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMax = content[i] - 1;
        info.nPage = static_cast<UINT>(page[i] > 0 ? page[i] : 0);
        ::SetScrollInfo(window_.Get(), bars[i], &info, TRUE);
    }
    scroll_ = {::GetScrollPos(window_.Get(), SB_HORZ), ::GetScrollPos(window_.Get(), SB_VERT)};
    if (scroll_.x != before.x || scroll_.y != before.y) Layout();
}

// A control that takes the focus in a window made smaller than the layout is scrolled into
// sight, as far as it fits.
void TForm1::ScrollIntoView(HWND control) {
    RECT client{};
    RECT place{};
    if (control == nullptr || !::GetClientRect(window_.Get(), &client) ||
        !::GetWindowRect(control, &place)) {
        return;
    }
    ::MapWindowPoints(nullptr, window_.Get(), reinterpret_cast<POINT*>(&place), 2);
    // How far each edge must move for the control to show, its left and top edges first.
    const auto shift = [](LONG low, LONG high, LONG size) -> LONG {
        if (low < 0) return low;
        if (high > size) return std::min(high - size, low);
        return 0;
    };
    const LONG dx = shift(place.left, place.right, client.right);
    const LONG dy = shift(place.top, place.bottom, client.bottom);
    if (dx == 0 && dy == 0) return;
    ::SetScrollPos(window_.Get(), SB_HORZ, scroll_.x + dx, TRUE);
    ::SetScrollPos(window_.Get(), SB_VERT, scroll_.y + dy, TRUE);
    scroll_ = {::GetScrollPos(window_.Get(), SB_HORZ), ::GetScrollPos(window_.Get(), SB_VERT)};
    Layout();
}

void TForm1::OnScroll(int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!::GetScrollInfo(window_.Get(), bar, &info)) return;
    int position = info.nPos;
    const int page = static_cast<int>(info.nPage);
    switch (request) {
        case SB_LINEUP:
            position -= Scaled(kScrollLine);
            break;
        case SB_LINEDOWN:
            position += Scaled(kScrollLine);
            break;
        case SB_PAGEUP:
            position -= page;
            break;
        case SB_PAGEDOWN:
            position += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = info.nMin;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            return;
    }
    info.fMask = SIF_POS;
    info.nPos = position;
    ::SetScrollInfo(window_.Get(), bar, &info, TRUE);  // Windows keeps it within the range
    const int now = ::GetScrollPos(window_.Get(), bar);
    if (now == (bar == SB_HORZ ? scroll_.x : scroll_.y)) return;
    (bar == SB_HORZ ? scroll_.x : scroll_.y) = now;
    Layout();
}

}  // namespace bukvotok::win32
