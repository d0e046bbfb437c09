#include "ResultsBox.h"

#include <imm.h>

#include <cmath>
#include <stdexcept>

#include "Question.h"
#include "ResultsBoxAccessible.h"
#include "ResultsBoxDropSource.h"
#include "ShowError.h"
#include "WindowObject.h"
#include "windows/WideText.h"

namespace bukvotok::win32 {

namespace {

constexpr UINT kCp1251 = 1251;
// Asks the box to show the errors a paint could not show.
constexpr UINT kShowLaterMessage = WM_APP + 1;

int Round(float pixels) { return static_cast<int>(std::lround(pixels)); }

int ColourIndex(Ink ink) {
    switch (ink) {
        case Ink::kSelectedText:
            return COLOR_HIGHLIGHTTEXT;
        case Ink::kHighlight:
            return COLOR_HIGHLIGHT;
        case Ink::kText:
            break;
    }
    return COLOR_WINDOWTEXT;
}

// GDI's face of the editor's drawing, on a device context whose font is the box's, its text
// aligned on the baseline.  Only the run asked for is converted.  Each letter goes where the
// advances the editor laid out with put it, whatever the font would do between them (wine's
// stand-ins for bitmap faces kern a little), so that the caret and the selection fall between
// letters.
class GdiSurface : public ResultsSurface {
public:
    GdiSurface(HDC dc, const std::array<INT, 256>& advances) : dc_(dc), advances_(advances) {}
    void Fill(const FloatRect& area, Ink ink) override {
        const RECT rect{Round(area.left), Round(area.top), Round(area.left + area.width),
                        Round(area.top + area.height)};
        ::FillRect(dc_, &rect, ::GetSysColorBrush(ColourIndex(ink)));
    }
    void DrawText(float left, float baseline, std::string_view bytes, Ink ink) override {
        wide_.resize(bytes.size());
        const int made =
            ::MultiByteToWideChar(kCp1251, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  wide_.data(), static_cast<int>(wide_.size()));
        steps_.resize(bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            steps_[i] = advances_[static_cast<unsigned char>(bytes[i])];
        }
        ::SetTextColor(dc_, ::GetSysColor(ColourIndex(ink)));
        ::ExtTextOutW(dc_, Round(left), Round(baseline), 0, nullptr, wide_.data(),
                      static_cast<UINT>(made), steps_.data());
    }

private:
    HDC dc_;
    const std::array<INT, 256>& advances_;
    std::wstring wide_;
    std::vector<INT> steps_;
};

}  // namespace

ResultsBox::ResultsBox() : EditorResults(editor_) { timers_.fill(-1); }

ResultsBox::~ResultsBox() {
    // What this copied stays on the clipboard, in every format, after the box is gone.
    if (window_) clipboard_.RenderAll(window_.Get());
    if (accessible_ != nullptr) {
        // A screen reader may hold it longer; from now on it answers that the box is gone.
        accessible_->Disconnect();
        accessible_->Release();
    }
    StopTakingDrops();
    Forget(window_.Get());
}

void ResultsBox::Create(HWND parent, int id, const wchar_t* name, HINSTANCE instance) {
    WNDCLASSEXW known{};
    known.cbSize = sizeof known;
    if (!::GetClassInfoExW(instance, kClassName, &known)) {
        WNDCLASSEXW box{};
        box.cbSize = sizeof box;
        box.style = CS_DBLCLKS;
        box.lpfnWndProc = &ObjectWindowProc<ResultsBox>;
        box.hInstance = instance;
        box.hCursor = ::LoadCursorW(nullptr, IDC_IBEAM);
        box.lpszClassName = kClassName;
        if (!::RegisterClassExW(&box)) throw std::runtime_error("Cannot register TResultsBox");
    }
    // ObjectWindowProc takes the handle into window_ as the window is made.
    ::CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, name, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0,
                      0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                      this);
    if (!window_) throw std::runtime_error("Cannot create TResultsBox");
    // Without OLE on this thread nothing can be dropped from other programs, nor dragged at all.
    drop_target_.reset(new ResultsBoxDropTarget(window_.Get(), editor_));
    if (FAILED(::RegisterDragDrop(window_.Get(), drop_target_.get()))) drop_target_.reset();
    // Timers asked for before there was a window to run them.
    for (std::size_t timer = 0; timer < timers_.size(); ++timer) {
        if (timers_[timer] >= 0) StartTimer(static_cast<ResultsTimer>(timer), timers_[timer]);
    }
    Relayout();
}

LRESULT ResultsBox::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    // Nothing unwinds into Windows' frames; a paint's error shows once the paint is over.
    editor_.Guarded(
        [&] {
            const HWND window = window_.Get();
            switch (message) {
                case WM_PAINT:
                    return OnPaint();
                case WM_ERASEBKGND:
                    result = 1;  // painted whole in WM_PAINT, without flicker
                    return;
                case WM_SIZE:
                    return Relayout();
                case WM_DESTROY:
                    return StopTakingDrops();
                case WM_SETFONT:
                    font_ = reinterpret_cast<HFONT>(wparam);
                    Relayout();
                    if (LOWORD(lparam) != 0) Redraw();
                    return;
                case WM_GETFONT:
                    result = reinterpret_cast<LRESULT>(font_);
                    return;
                case WM_SETFOCUS:
                case WM_KILLFOCUS:
                    return OnFocus(message == WM_SETFOCUS);
                case WM_TIMER:
                    if (wparam >= 1 && wparam <= kResultsTimers) {
                        editor_.TimerFired(static_cast<ResultsTimer>(wparam - 1));
                    }
                    return;
                case WM_GETOBJECT:
                    result = OnGetObject(wparam, lparam);
                    return;
                case WM_RENDERFORMAT:
                    return clipboard_.Render(static_cast<UINT>(wparam));
                case WM_RENDERALLFORMATS:
                    return clipboard_.RenderAll(window);
                case WM_DESTROYCLIPBOARD:
                    return clipboard_.Forget();
                case kShowLaterMessage: {
                    std::vector<std::string> errors;
                    errors.swap(later_errors_);
                    for (const std::string& error : errors) win32::ShowError(error);
                    return;
                }
                default:
                    if (!OnInput(message, wparam, lparam, result)) {
                        result = ::DefWindowProcW(window, message, wparam, lparam);
                    }
                    return;
            }
        },
        message == WM_PAINT);
    return result;
}

void ResultsBox::Relayout() {
    RECT client{};
    if (window_) ::GetClientRect(window_.Get(), &client);
    editor_.SetGeometry(client.right, client.bottom);
}

// Drawn into a bitmap, then copied to the screen at once: no flicker while words are appended
// many times a second.
void ResultsBox::OnPaint() {
    const PaintScope paint(window_.Get());
    const RECT dirty = paint.Dirty();
    const int width = dirty.right - dirty.left;
    const int height = dirty.bottom - dirty.top;
    if (width <= 0 || height <= 0) return;
    MemoryDcHandle memory(::CreateCompatibleDC(paint.Dc()));
    BitmapHandle bitmap(memory ? ::CreateCompatibleBitmap(paint.Dc(), width, height) : nullptr);
    // Without memory for the bitmap it draws straight to the screen.
    const HDC dc = bitmap ? memory.Get() : paint.Dc();
    const SelectedObject selected_bitmap(memory.Get(), bitmap.Get());
    if (bitmap) ::SetWindowOrgEx(dc, dirty.left, dirty.top, nullptr);
    const SelectedObject selected_font(
        dc, font_ != nullptr ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    ::FillRect(dc, &dirty, ::GetSysColorBrush(COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    GdiSurface surface(dc, advances_);
    editor_.Paint(surface, {dirty.left, dirty.top, width, height});
    if (bitmap) {
        ::BitBlt(paint.Dc(), dirty.left, dirty.top, width, height, dc, dirty.left, dirty.top,
                 SRCCOPY);
    }
}

void ResultsBox::OnFocus(bool focused) {
    // A system caret, never shown (the editor draws its own), where the editor's is: magnifiers
    // and input methods follow it.
    if (focused) {
        ::CreateCaret(window_.Get(), nullptr, 1, Measure().line_height);
        PlaceSystemCaret();
    } else {
        ::DestroyCaret();
    }
    editor_.FocusChanged(focused);
}

void ResultsBox::PlaceSystemCaret() noexcept {
    if (!window_ || ::GetFocus() != window_.Get()) return;
    editor_.Guarded([this] {
        const PixelRect caret = editor_.CaretRect(editor_.CaretOffset());
        ::SetCaretPos(caret.left, caret.top);
        if (const HIMC context = ::ImmGetContext(window_.Get())) {
            COMPOSITIONFORM form{};
            form.dwStyle = CFS_POINT;
            form.ptCurrentPos = {caret.left, caret.top};
            ::ImmSetCompositionWindow(context, &form);
            ::ImmReleaseContext(window_.Get(), context);
        }
    });
}

LRESULT ResultsBox::OnGetObject(WPARAM flags, LPARAM object_id) {
    if (static_cast<DWORD>(object_id) != static_cast<DWORD>(OBJID_CLIENT)) {
        return ::DefWindowProcW(window_.Get(), WM_GETOBJECT, flags, object_id);
    }
    if (accessible_ == nullptr) accessible_ = ResultsBoxAccessible::Create(*this);
    return accessible_ != nullptr ? accessible_->Lresult(flags) : 0;
}

// Before the window goes: OLE lets go of the target, which takes nothing more.
void ResultsBox::StopTakingDrops() noexcept {
    if (!drop_target_) return;
    ::RevokeDragDrop(window_.Get());
    drop_target_->Disconnect();
    drop_target_.reset();
}

// --- ResultsFace ---

FontMeasures ResultsBox::Measure() const {
    FontMeasures measures;
    if (!window_) return measures;
    const WindowDc dc(window_.Get());
    const SelectedObject font(dc.Get(),
                              font_ != nullptr ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    measures.line_height = metrics.tmHeight + metrics.tmExternalLeading;
    measures.ascent = static_cast<float>(metrics.tmAscent);
    for (std::size_t byte = 0; byte < 256; ++byte) {
        if (byte == '\r' || byte == '\n') continue;
        const char narrow = static_cast<char>(byte);
        wchar_t unit = L'?';
        ::MultiByteToWideChar(kCp1251, 0, &narrow, 1, &unit, 1);
        INT width = 0;
        ::GetCharWidth32W(dc.Get(), unit, unit, &width);
        measures.advance[byte] = static_cast<float>(width);
        advances_[byte] = width;
    }
    return measures;
}

void ResultsBox::Redraw() {
    if (window_) ::InvalidateRect(window_.Get(), nullptr, FALSE);
}

void ResultsBox::Redraw(const PixelRect& area) {
    if (!window_) return;
    const RECT rect{area.left, area.top, area.left + area.width, area.top + area.height};
    ::InvalidateRect(window_.Get(), &rect, FALSE);
}

void ResultsBox::StartTimer(ResultsTimer timer, int milliseconds) {
    const auto index = static_cast<std::size_t>(timer);
    timers_[index] = milliseconds;
    if (window_) {
        ::SetTimer(window_.Get(), index + 1,
                   static_cast<UINT>(std::max<int>(milliseconds, USER_TIMER_MINIMUM)), nullptr);
    }
}

void ResultsBox::StopTimer(ResultsTimer timer) {
    const auto index = static_cast<std::size_t>(timer);
    timers_[index] = -1;
    if (window_) ::KillTimer(window_.Get(), index + 1);
}

bool ResultsBox::HasFocus() const { return window_ && ::GetFocus() == window_.Get(); }

int ResultsBox::CaretBlinkMs() const {
    const UINT blink = ::GetCaretBlinkTime();  // each half of the blink
    return blink == INFINITE || blink == 0 ? 0 : static_cast<int>(blink);
}

int ResultsBox::DragDistance() const { return ::GetSystemMetrics(SM_CXDRAG); }

int ResultsBox::DoubleClickMs() const { return static_cast<int>(::GetDoubleClickTime()); }

int ResultsBox::WheelScrollLines() const {
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    // "One screen at a time" scrolls by the lines the box shows.
    if (lines == WHEEL_PAGESCROLL) return std::max(1, editor_.VisibleLines());
    return static_cast<int>(lines);
}

PixelPoint ResultsBox::Pointer() const {
    POINT point{};
    ::GetCursorPos(&point);
    if (window_) ::ScreenToClient(window_.Get(), &point);
    return {point.x, point.y};
}

std::optional<IncomingText> ResultsBox::ReadClipboard(ResultsClipboard clipboard) {
    // Windows has no selection that a middle click pastes.
    if (clipboard == ResultsClipboard::kSelection) return {};
    return clipboard_.Read(window_.Get());
}

// A drag of the selection, to the box itself or to another program, in OLE's own loop until
// the button is released: a move, or a copy with Ctrl; Escape drops nothing.  A drop within the
// box comes to the editor's Drop meanwhile, through the box's drop target.
DragEnd ResultsBox::DragSelection(const BlockBytes& bytes) {
    if (!drop_target_) return DragEnd::kNothing;
    const ComReference<ResultsBoxDataObject> data(new ResultsBoxDataObject(bytes));
    const ComReference<ResultsBoxDropSource> source(new ResultsBoxDropSource());
    // OLE follows the mouse from here on.
    if (::GetCapture() == window_.Get()) ::ReleaseCapture();
    // Held to the end, though the window may go meanwhile and take the box's reference.
    drop_target_->AddRef();
    const ComReference<ResultsBoxDropTarget> target(drop_target_.get());
    target->StartOwnDrag(data.get());
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT ended =
        ::DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    const bool within = target->EndOwnDrag();
    if (ended != DRAGDROP_S_DROP) return DragEnd::kNothing;
    // A target that says both only copied: the text stays.
    switch (effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) {
        case DROPEFFECT_MOVE:
            return within ? DragEnd::kMovedWithin : DragEnd::kMovedAway;
        case DROPEFFECT_NONE:
            return DragEnd::kNothing;
        default:
            return DragEnd::kCopied;
    }
}

void ResultsBox::ValueChanged() noexcept {
    if (!window_) return;
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_.Get(), OBJID_CLIENT, CHILDID_SELF);
}

bool ResultsBox::Ask(const std::string& question) {
    return win32::AskQuestion(Utf8ToWide(question));
}

void ResultsBox::ShowError(const char* message, bool later) noexcept {
    try {
        if (!later || !window_) return win32::ShowError(message);
        // A paint cannot open a box: it shows once the message loop is back.
        later_errors_.emplace_back(message);
        ::PostMessageW(window_.Get(), kShowLaterMessage, 0, 0);
    } catch (...) {
        // Not even the message could be made: the program goes on without it.
    }
}

}  // namespace bukvotok::win32
