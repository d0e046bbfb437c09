// The Win32 box's keys, characters, input method, mouse and menu, as the editor's plain events.
#include <windows.h>
// After windows.h, which they need.
#include <imm.h>
#include <windowsx.h>

#include <string>
#include <utility>

#include "Handles.h"
#include "ResultsBox.h"

namespace bukvotok::win32 {

namespace {

EditorKey KeyOf(WPARAM key) {
    switch (key) {
        case VK_LEFT:
            return EditorKey::kLeft;
        case VK_RIGHT:
            return EditorKey::kRight;
        case VK_UP:
            return EditorKey::kUp;
        case VK_DOWN:
            return EditorKey::kDown;
        case VK_HOME:
            return EditorKey::kHome;
        case VK_END:
            return EditorKey::kEnd;
        case VK_PRIOR:
            return EditorKey::kPageUp;
        case VK_NEXT:
            return EditorKey::kPageDown;
        case VK_BACK:
            return EditorKey::kBackspace;
        case VK_DELETE:
            return EditorKey::kDelete;
        case VK_INSERT:
            return EditorKey::kInsert;
        case VK_RETURN:
            return EditorKey::kReturn;
        case 'A':
            return EditorKey::kA;
        case 'C':
            return EditorKey::kC;
        case 'V':
            return EditorKey::kV;
        case 'X':
            return EditorKey::kX;
        case 'Y':
            return EditorKey::kY;
        case 'Z':
            return EditorKey::kZ;
        default:
            return EditorKey::kOther;
    }
}

unsigned HeldModifiers() {
    unsigned modifiers = 0;
    if (::GetKeyState(VK_SHIFT) < 0) modifiers |= kShift;
    if (::GetKeyState(VK_CONTROL) < 0) modifiers |= kControl;
    if (::GetKeyState(VK_MENU) < 0) modifiers |= kAlt;
    return modifiers;
}

PixelPoint PointOf(LPARAM lparam) { return {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}; }

// The menu's commands, as the Qt box's menu has them.
enum MenuCommand : UINT { kUndo = 1, kRedo, kCut, kCopy, kPaste, kDelete, kSelectAll };

}  // namespace

bool ResultsBox::OnInput(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    const HWND window = window_.Get();
    switch (message) {
        case WM_GETDLGCODE: {
            // Arrows and characters are the box's, Tab still moves the focus on, and Return
            // breaks the line instead of pressing a button.
            result = DLGC_WANTARROWS | DLGC_WANTCHARS;
            const auto* asked = reinterpret_cast<const MSG*>(lparam);
            if (asked != nullptr && asked->message == WM_KEYDOWN && asked->wParam == VK_RETURN) {
                result |= DLGC_WANTMESSAGE;
            }
            return true;
        }
        case WM_KEYDOWN:
            // What a key types comes as WM_CHAR: here only what it does.
            return editor_.KeyDown({KeyOf(wparam), HeldModifiers(), {}});
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wparam));
            return true;
        case WM_IME_STARTCOMPOSITION:
            PlaceSystemCaret();
            return false;
        case WM_IME_COMPOSITION:
            OnComposition(lparam);
            // The composition still shows in the input method's own window.
            result = ::DefWindowProcW(window, message, wparam, lparam & ~GCS_RESULTSTR);
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            ::SetFocus(window);
            // The release comes here wherever it happens.
            ::SetCapture(window);
            editor_.MousePress(PointOf(lparam), MouseButton::kLeft,
                               message == WM_LBUTTONDBLCLK ? 2 : 1,
                               (wparam & MK_SHIFT) != 0 ? kShift : 0u);
            return true;
        case WM_MBUTTONDOWN:
            ::SetFocus(window);
            editor_.MousePress(PointOf(lparam), MouseButton::kMiddle, 1, 0);
            return true;
        case WM_MOUSEMOVE:
            editor_.MouseMove(PointOf(lparam));
            return true;
        case WM_LBUTTONUP:
            editor_.MouseRelease(PointOf(lparam));
            if (::GetCapture() == window) ::ReleaseCapture();
            return true;
        case WM_CAPTURECHANGED:
            // Another window took the mouse: the press ends where the pointer is.
            if (reinterpret_cast<HWND>(lparam) != window) editor_.MouseRelease(Pointer());
            return true;
        case WM_MOUSEWHEEL:
            editor_.Wheel(GET_WHEEL_DELTA_WPARAM(wparam));
            return true;
        case WM_CONTEXTMENU:
            OnContextMenu(lparam);
            return true;
        default:
            return false;
    }
}

// A character beyond the first 65,536 comes in two messages, one half of it in each.
void ResultsBox::OnChar(wchar_t unit) {
    const wchar_t high = std::exchange(high_surrogate_, L'\0');
    if (IS_HIGH_SURROGATE(unit)) {
        if (high != L'\0') editor_.Type(std::u16string(1, static_cast<char16_t>(high)));
        high_surrogate_ = unit;
        return;
    }
    std::u16string text;
    if (high != L'\0') text += static_cast<char16_t>(high);
    // Control characters are what Ctrl with a letter, Backspace, Tab and Return type: their
    // keys did what they do.  Alt Gr's characters come with Ctrl and Alt held, and are typed.
    if (unit >= 0x20 && unit != 0x7F) text += static_cast<char16_t>(unit);
    if (!text.empty()) editor_.Type(text);
}

void ResultsBox::OnComposition(LPARAM parts) {
    if ((parts & GCS_RESULTSTR) == 0) return;
    const HWND window = window_.Get();
    const HIMC context = ::ImmGetContext(window);
    if (context == nullptr) return;
    const LONG bytes = ::ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    std::wstring result(bytes > 0 ? static_cast<std::size_t>(bytes) / sizeof(wchar_t) : 0, L'\0');
    if (!result.empty()) {
        ::ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(),
                                   static_cast<DWORD>(bytes));
    }
    ::ImmReleaseContext(window, context);
    // The committed text is one step, as a paste is.
    if (!result.empty())
        editor_.Type({reinterpret_cast<const char16_t*>(result.data()), result.size()});
}

void ResultsBox::OnContextMenu(LPARAM lparam) {
    const HWND window = window_.Get();
    POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    if (lparam == -1) {
        // From the keyboard: at the caret.
        const PixelRect caret = editor_.CaretRect(editor_.CaretOffset());
        at = {caret.left, caret.top + caret.height};
        ::ClientToScreen(window, &at);
    }
    const MenuHandle menu(::CreatePopupMenu());
    if (!menu) return;
    const bool selected = editor_.HasSelection();
    const auto add = [&menu](UINT command, const wchar_t* text, bool enabled) {
        const UINT state = enabled ? MF_ENABLED : MF_GRAYED;
        ::AppendMenuW(menu.Get(), MF_STRING | state, command, text);
    };
    add(kUndo, L"&Отменить действие\tCtrl+Z", editor_.CanUndo());
    add(kRedo, L"&Повторить действие\tCtrl+Y", editor_.CanRedo());
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    add(kCut, L"&Вырезать\tCtrl+X", selected);
    add(kCopy, L"&Копировать\tCtrl+C", selected);
    add(kPaste, L"&Вставить\tCtrl+V", editor_.CanPaste());
    add(kDelete, L"Удалить", selected);
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    add(kSelectAll, L"Выделить всё\tCtrl+A", editor_.Size() > 0);
    const auto chosen = static_cast<UINT>(::TrackPopupMenu(
        menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr));
    switch (chosen) {
        case kUndo:
            return editor_.Undo();
        case kRedo:
            return editor_.Redo();
        case kCut:
            return editor_.Cut();
        case kCopy:
            return editor_.Copy();
        case kPaste:
            return editor_.Paste();
        case kDelete:
            return editor_.DeleteSelection();
        case kSelectAll:
            return editor_.SelectAll();
        default:
            return;
    }
}

}  // namespace bukvotok::win32
