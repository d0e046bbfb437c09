// The Win32 face's own part: its translation of Windows' messages into the links' behaviour,
// the clipboard, the hand, what a screen reader sees, and the main window's layout.  Run under
// wine; the behaviour itself is tested without a window (LinkBehaviourTest).
#include <windows.h>

// After windows.h, which oleacc.h needs.
#include <gtest/gtest.h>
#include <imm.h>
#include <oleacc.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "ApplicationTitle.h"
#include "ComApartment.h"
#include "ComObject.h"
#include "Errors.h"
#include "Grlink.h"
#include "OpenFileDialog.h"
#include "Question.h"
#include "ResultsBox.h"
#include "ResultsBoxDataObject.h"
#include "ResultsBoxDropSource.h"
#include "SaveProgressDialog.h"
#include "ShowError.h"
#include "Unit1.h"

namespace bukvotok::win32 {
namespace {

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!::OpenClipboard(owner)) return L"<not open>";
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

std::string ClipboardBytes(HWND owner) {
    std::string bytes;
    if (!::OpenClipboard(owner)) return "<not open>";
    if (const HANDLE data = ::GetClipboardData(CF_TEXT)) {
        bytes = static_cast<const char*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return bytes;
}

// Another program's text in a drag: in global memory, in one format or a few.
class OtherProgramsData final : public ComObject<IDataObject> {
public:
    OtherProgramsData(CLIPFORMAT format, const void* data, std::size_t size) {
        Add(format, data, size);
    }
    void Add(CLIPFORMAT format, const void* data, std::size_t size) {
        GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, size));
        std::memcpy(::GlobalLock(memory.Get()), data, size);
        ::GlobalUnlock(memory.Get());
        formats_.emplace_back(format, std::move(memory));
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = ::OleDuplicateData(Memory(format->cfFormat), format->cfFormat, 0);
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return Memory(format->cfFormat) != nullptr && (format->tymed & TYMED_HGLOBAL) != 0
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    HGLOBAL Memory(CLIPFORMAT format) const {
        for (const auto& [offered, memory] : formats_) {
            if (offered == format) return memory.Get();
        }
        return nullptr;
    }

    std::vector<std::pair<CLIPFORMAT, GlobalMemory>> formats_;
};

// Whether a program that looks at the formats listed finds `wanted` among them.
bool Lists(IDataObject* data, CLIPFORMAT wanted) {
    IEnumFORMATETC* formats = nullptr;
    if (data->EnumFormatEtc(DATADIR_GET, &formats) != S_OK) return false;
    bool found = false;
    for (FORMATETC format{}; formats->Next(1, &format, nullptr) == S_OK;) {
        found = found || format.cfFormat == wanted;
    }
    formats->Release();
    return found;
}

// What `data` gives in `format` to a program that reads global memory or a stream: the memory's
// bytes, or "<none>".
std::string Given(IDataObject* data, CLIPFORMAT format) {
    FORMATETC asked{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&asked, &medium))) return "<none>";
    std::string bytes = "<not global memory>";
    if (medium.tymed == TYMED_HGLOBAL) {
        bytes.assign(static_cast<const char*>(::GlobalLock(medium.hGlobal)),
                     ::GlobalSize(medium.hGlobal));
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return bytes;
}

// Another program's window a drag is dropped on: it takes Unicode text when the formats listed
// have it, and moves it.
class OtherProgramsTarget final : public ComObject<IDropTarget> {
public:
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        takes_ = Lists(data, CF_UNICODETEXT);
        *effect &= takes_ ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect &= takes_ ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        const std::string bytes = Given(data, CF_UNICODETEXT);
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        text.resize(std::wcslen(text.c_str()));
        *effect &= DROPEFFECT_MOVE;
        return S_OK;
    }
    std::wstring text;

private:
    bool takes_ = false;
};

class Win32FaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_.Reset(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                                        nullptr, nullptr, Instance(), nullptr));
        link_ = std::make_unique<TGrlink>(parent_.Get(), 7, cursors_, Instance());
        link_->SetCaption(L"http://форум.example");
        link_->SetOpener([this](const std::wstring& target) {
            opened_.push_back(target);
            colours_while_opening_.push_back(link_->Color());
        });
    }

    LRESULT Mouse(UINT message, int x) {
        return ::SendMessageW(link_->Handle(), message, 0, MAKELPARAM(x, 2));
    }

    ComApartment com_;
    CursorRegistry cursors_;
    WindowHandle parent_;
    std::unique_ptr<TGrlink> link_;
    std::vector<std::wstring> opened_;
    std::vector<COLORREF> colours_while_opening_;
};

TEST_F(Win32FaceTest, MouseMessagesLightTheLinkAndOpenItsTargetOnce) {
    EXPECT_EQ(link_->Color(), 0xFF0000u);
    Mouse(WM_LBUTTONDOWN, 3);
    EXPECT_EQ(link_->Color(), 0x800080u);
    EXPECT_EQ(::GetCapture(), link_->Handle());  // the release comes here wherever it happens
    Mouse(WM_LBUTTONUP, 3);
    // The double click's second press lights the link again but opens nothing more.
    Mouse(WM_LBUTTONDBLCLK, 3);
    Mouse(WM_LBUTTONUP, 3);
    EXPECT_EQ(opened_, std::vector<std::wstring>{L"http://форум.example"});
    EXPECT_EQ(colours_while_opening_, std::vector<COLORREF>{0x800080});
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(link_->Color(), 0xFF0000u);

    Mouse(WM_LBUTTONDOWN, 3);
    Mouse(WM_LBUTTONUP, -5);  // released outside: back to blue, nothing opened
    EXPECT_EQ(opened_.size(), 1u);
    EXPECT_EQ(link_->Color(), 0xFF0000u);

    Mouse(WM_LBUTTONDOWN, 3);
    ::SetCapture(parent_.Get());  // another window takes the mouse: the release will not come
    EXPECT_EQ(link_->Color(), 0xFF0000u);
    ::ReleaseCapture();
}

TEST_F(Win32FaceTest, CopyPutsTheCaptionOnTheClipboardInBothForms) {
    link_->SetURL(L"http://other.example");
    link_->CopyCaption();
    EXPECT_EQ(ClipboardText(parent_.Get()), L"http://форум.example");
    EXPECT_EQ(ClipboardBytes(parent_.Get()), "http://\xF4\xEE\xF0\xF3\xEC.example");

    ASSERT_TRUE(::OpenClipboard(parent_.Get()));  // held by someone else
    EXPECT_THROW(link_->CopyCaption(), ClipboardError);
    ::CloseClipboard();
    EXPECT_EQ(ClipboardText(parent_.Get()), L"http://форум.example");
}

// The hand is the image of resources/hand.xpm, hot spot at the finger tip.
TEST_F(Win32FaceTest, HandIsPointerFiveMadeFromTheImage) {
    ASSERT_TRUE(cursors_.Contains(TGrlink::HandCursorIndex));
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursors_.Get(TGrlink::HandCursorIndex), &info));
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    // A two-colour cursor is one bitmap: the mask above the image, 32 x 64.
    BITMAP mask{};
    ::GetObjectW(info.hbmMask, sizeof mask, &mask);
    ASSERT_EQ(mask.bmWidth, 32);
    ASSERT_EQ(mask.bmHeight, 64);
    std::vector<unsigned char> bits(static_cast<std::size_t>(mask.bmWidthBytes) * 64);
    ::GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data());
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);

    std::ifstream xpm(BUKVOTOK_HAND_XPM);
    const std::regex row("\"([ #.]{32})\",?");
    int y = 0;
    std::smatch pixels;
    for (std::string line; std::getline(xpm, line);) {
        if (!std::regex_match(line, pixels, row)) continue;
        for (int x = 0; x < 32; ++x) {
            const auto bit = [&](int image_row) {
                return (bits[static_cast<std::size_t>(image_row * mask.bmWidthBytes + x / 8)] >>
                        (7 - x % 8)) &
                       1;
            };
            const char pixel = pixels[1].str()[static_cast<std::size_t>(x)];
            ASSERT_EQ(bit(y), pixel == ' ' ? 1 : 0) << x << "," << y;       // transparent
            ASSERT_EQ(bit(y + 32), pixel == '.' ? 1 : 0) << x << "," << y;  // white
        }
        ++y;
    }
    EXPECT_EQ(y, 32);
}

// The object itself, not one of its children, in a screen reader's calls.
VARIANT Self() {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// What a screen reader finds of `window`, checked for its role and name; null when it finds
// nothing.
IAccessible* ReaderFinds(HWND window, LONG role, const wchar_t* name) {
    IAccessible* accessible = nullptr;
    if (::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                     __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&accessible)) != S_OK) {
        ADD_FAILURE() << "no accessible object";
        return nullptr;
    }
    const VARIANT self = Self();
    VARIANT found_role{};
    accessible->get_accRole(self, &found_role);
    EXPECT_EQ(found_role.lVal, role);
    BSTR found_name = nullptr;
    accessible->get_accName(self, &found_name);
    EXPECT_STREQ(found_name, name);
    ::SysFreeString(found_name);
    return accessible;
}

TEST_F(Win32FaceTest, ScreenReadersSeeALinkNamedByItsCaption) {
    IAccessible* accessible =
        ReaderFinds(link_->Handle(), ROLE_SYSTEM_LINK, L"http://форум.example");
    ASSERT_NE(accessible, nullptr);
    const VARIANT self = Self();
    BSTR action = nullptr;
    EXPECT_EQ(accessible->get_accDefaultAction(self, &action), S_OK);
    ::SysFreeString(action);
    accessible->Release();
}

// The value changes a hook heard of the box's window.
HWND g_heard_window = nullptr;
int g_value_changes = 0;
void CALLBACK Hear(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (window == g_heard_window && object == OBJID_CLIENT) ++g_value_changes;
}

// Delivers the thread's messages until `done`, for at most ten seconds.
bool DeliveredUntil(const std::function<bool()>& done) {
    const ULONGLONG give_up = ::GetTickCount64() + 10000;
    while (!done()) {
        if (::GetTickCount64() > give_up) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        for (MSG message{}; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

// The box is an editable text named as the window names it, whose value is the stretch of the
// text around the caret, a few kilobytes of a long text; readers hear of changes, and what they
// hold answers that the box is gone once it is.
TEST(Win32ResultsBoxTest, ScreenReadersSeeAnEditableTextAndTheStretchAroundTheCaret) {
    const ComApartment com;
    WindowHandle parent(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                          nullptr, nullptr, Instance(), nullptr));
    auto box = std::make_unique<ResultsBox>();
    box->Create(parent.Get(), 5, L"Найденные совпадения слов", Instance());
    ::MoveWindow(box->Handle(), 0, 0, 200, 100, FALSE);
    std::string bytes;
    std::wstring text;
    for (int i = 0; bytes.size() < (1u << 20); ++i) {
        bytes += " \xF1\xEB\xEE\xE2\xEE" + std::to_string(i);
        text += L" слово" + std::to_wstring(i);
    }
    box->SetResultsText(bytes);
    constexpr std::size_t kCaret = 600000;
    box->Editor().SetSelection(kCaret, kCaret);
    const ViewLines::Line line = box->Editor().LineAt(kCaret);
    const std::wstring caret_line = text.substr(line.start, line.TextEnd() - line.start);

    IAccessible* accessible =
        ReaderFinds(box->Handle(), ROLE_SYSTEM_TEXT, L"Найденные совпадения слов");
    ASSERT_NE(accessible, nullptr);
    const VARIANT self = Self();
    BSTR value = nullptr;
    ASSERT_EQ(accessible->get_accValue(self, &value), S_OK);
    const std::wstring value_text(value, ::SysStringLen(value));
    ::SysFreeString(value);
    EXPECT_NE(value_text.find(caret_line), std::wstring::npos);
    EXPECT_LE(value_text.size(), kAccessibleValueBytes);
    const auto state = [&] {
        VARIANT answer{};
        accessible->get_accState(self, &answer);
        return answer.lVal &
               (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_READONLY);
    };
    EXPECT_EQ(state(), STATE_SYSTEM_FOCUSABLE);

    g_heard_window = box->Handle();
    const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE,
                                                 nullptr, &Hear, 0, 0, WINEVENT_OUTOFCONTEXT);
    ::ShowWindow(parent.Get(), SW_SHOW);
    ::SetFocus(box->Handle());
    EXPECT_EQ(state(), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    // The search's words move the caret at the end, and the system's caret, which readers and
    // magnifiers follow, goes with it once they are laid out.
    box->Editor().SetSelection(bytes.size(), bytes.size());
    for (int word = 0; word < 20; ++word) box->Editor().AppendWord("x");
    EXPECT_TRUE(
        DeliveredUntil([&box] { return g_value_changes > 0 && !box->Editor().Lines().Pending(); }));
    ::UnhookWinEvent(hook);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(::GetGUIThreadInfo(::GetCurrentThreadId(), &thread));
    const PixelRect caret = box->Editor().CaretRect(box->Editor().Size());
    EXPECT_EQ(thread.hwndCaret, box->Handle());
    EXPECT_EQ(std::make_pair(thread.rcCaret.left, thread.rcCaret.top),
              std::make_pair(LONG{caret.left}, LONG{caret.top}));

    box.reset();
    VARIANT role{};
    EXPECT_EQ(accessible->get_accRole(self, &role), CO_E_OBJNOTCONNECTED);
    accessible->Release();
}

// The box's context menu, answered once it shows: where it showed, and Cut by its accelerator.
WNDPROC g_box_procedure = nullptr;
RECT g_menu_shown{};
LRESULT CALLBACK ChooseFromMenu(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ENTERIDLE && wparam == MSGF_MENU) {
        const auto menu = reinterpret_cast<HWND>(lparam);
        ::GetWindowRect(menu, &g_menu_shown);
        ::PostMessageW(menu, WM_CHAR, L'в', 0);  // Вырезать
    }
    return ::CallWindowProcW(g_box_procedure, window, message, wparam, lparam);
}

// The box's translation of Windows' messages and its clipboard; what the editor does with them is
// tested without a window.
TEST(Win32ResultsBoxTest, MessagesTypeSelectAndGoThroughTheClipboard) {
    WindowHandle parent(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                          nullptr, nullptr, Instance(), nullptr));
    ResultsBox box;
    box.Create(parent.Get(), 5, L"", Instance());
    const HWND window = box.Handle();
    ::MoveWindow(window, 0, 0, 200, 100, FALSE);
    const auto send = [window](UINT message, WPARAM wparam, LPARAM lparam = 0) {
        return ::SendMessageW(window, message, wparam, lparam);
    };
    // A character in two halves, Ctrl+A's control character, Return's key and character.
    for (const wchar_t unit : {L'П', L'x', wchar_t{0xD83D}, wchar_t{0xDE00}, wchar_t{1}}) {
        send(WM_CHAR, unit);
    }
    send(WM_KEYDOWN, VK_RETURN);
    send(WM_CHAR, L'\r');
    send(WM_CHAR, L'ы');
    EXPECT_EQ(box.ResultsText(), "\xCFx?\r\n\xFB");
    send(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(box.Editor().CaretOffset(), 5u);
    // AltGr, which Windows gives as Ctrl and Alt held, types a letter: it is no Ctrl shortcut.
    BYTE keys[256]{};
    keys[VK_CONTROL] = keys[VK_MENU] = 0x80;
    ::SetKeyboardState(keys);
    send(WM_KEYDOWN, 'A');
    keys[VK_CONTROL] = keys[VK_MENU] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(box.Editor().SelectionStart(), 5u);
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 1));
    EXPECT_EQ(::GetCapture(), window);
    send(WM_LBUTTONUP, 0, MAKELPARAM(0, 1));
    EXPECT_EQ(box.Editor().CaretOffset(), 0u);
    EXPECT_EQ(::GetCapture(), nullptr);
    // Once the triple click's time is up, a click after a double click only places the caret.
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(0, 1));
    send(WM_LBUTTONUP, 0, MAKELPARAM(0, 1));
    EXPECT_TRUE(box.Editor().HasSelection());
    send(WM_TIMER, static_cast<WPARAM>(ResultsTimer::kTripleClick) + 1);
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 1));
    send(WM_LBUTTONUP, 0, MAKELPARAM(0, 1));
    EXPECT_FALSE(box.Editor().HasSelection());

    // The arrows and characters are the box's, Return too, but Tab moves the focus on.
    MSG key{window, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(send(WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&key)),
              DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTMESSAGE);
    key.wParam = VK_TAB;
    EXPECT_EQ(send(WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&key)) & DLGC_WANTTAB, 0);

    {
        ResultsBox gone;
        gone.Create(parent.Get(), 6, L"", Instance());
        gone.SetResultsText("\xEF\xF0\xE8");
        gone.Editor().SelectAll();
        gone.Editor().Copy();
    }
    EXPECT_EQ(ClipboardText(parent.Get()), L"при");  // what a box copied outlives it
    box.Editor().SetSelection(0, 2);
    box.Editor().Copy();
    box.Editor().SetSelection(1, 5);
    box.Editor().Copy();  // the box's copy replaces its own
    EXPECT_EQ(ClipboardText(parent.Get()), L"x?\r\n");
    EXPECT_EQ(ClipboardBytes(parent.Get()), "x?\r\n");
    box.Editor().SetSelection(0, 0);
    box.Editor().Paste();  // its own copy
    // Another program's text.
    ASSERT_TRUE(::OpenClipboard(parent.Get()));
    ::EmptyClipboard();
    const wchar_t other[] = L"ё\r\n";
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof other);
    std::memcpy(::GlobalLock(memory), other, sizeof other);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
    box.Editor().Paste();
    box.Editor().SetSelection(0, 0);
    send(WM_CHAR, L' ');
    // An input method's text, committed: wine's sends the box its result at once.
    const HIMC context = ::ImmGetContext(window);
    wchar_t composed[] = L"при";
    ::ImmSetCompositionStringW(context, SCS_SETSTR, composed, sizeof composed - sizeof(wchar_t),
                               nullptr, 0);
    ::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    ::ImmReleaseContext(window, context);
    // The menu key's context menu shows below the caret, and its Cut cuts.
    g_box_procedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChooseFromMenu)));
    box.Editor().SetSelection(1, 4);
    const PixelRect caret = box.Editor().CaretRect(4);
    POINT below_caret{caret.left, caret.top + caret.height};
    ::ClientToScreen(window, &below_caret);
    send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), -1);
    EXPECT_EQ(std::make_pair(g_menu_shown.left, g_menu_shown.top),
              std::make_pair(below_caret.x, below_caret.y));
    EXPECT_EQ(ClipboardText(parent.Get()), L"при");
    EXPECT_EQ(box.ResultsText(), " x?\r\n\xB8\r\n\xCFx?\r\n\xFB");
}

// A drag of the selection runs in OLE's own loop, which takes the button as released and drops
// where the pointer is: within the box a move, or a copy with Ctrl; onto another program's
// window a move that takes the text from the box.
TEST(Win32ResultsBoxTest, SelectionDraggedWithinTheBoxMovesOrCopies) {
    const ComApartment com;
    WindowHandle parent(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr,
                                          nullptr, Instance(), nullptr));
    ResultsBox box;
    box.Create(parent.Get(), 5, L"", Instance());
    ::MoveWindow(box.Handle(), 0, 0, 200, 100, FALSE);
    // Another program's window, below the box.
    WindowHandle elsewhere(::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 200, 300, 100, nullptr,
                                             nullptr, Instance(), nullptr));
    // On the screen where the pointer finds them; not activated, so that wine does not wait
    // for a window manager when they go.
    ::ShowWindow(parent.Get(), SW_SHOWNA);
    ::ShowWindow(elsewhere.Get(), SW_SHOWNA);
    ComReference<OtherProgramsTarget> other(new OtherProgramsTarget);
    ASSERT_EQ(::RegisterDragDrop(elsewhere.Get(), other.get()), S_OK);
    box.SetResultsText("ab \xEF\xF0\xE8");
    const auto point = [&box](std::size_t offset) {
        const PixelRect caret = box.Editor().CaretRect(offset);
        return POINT{caret.left + 1, caret.top + 2};
    };
    const auto drag = [&](std::size_t from, std::size_t to, POINT at, bool control) {
        box.Editor().SetSelection(from, to);
        ::ClientToScreen(box.Handle(), &at);
        ::SetCursorPos(at.x, at.y);
        BYTE keys[256]{};
        keys[VK_CONTROL] = control ? 0x80 : 0;
        ::SetKeyboardState(keys);
        const POINT press = point(from);
        ::SendMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
        ::SendMessageW(box.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 60));
    };
    drag(0, 2, point(6), false);
    EXPECT_EQ(box.ResultsText(),
              " \xEF\xF0\xE8"
              "ab");
    drag(4, 6, point(0), true);
    EXPECT_EQ(box.ResultsText(),
              "ab \xEF\xF0\xE8"
              "ab");
    EXPECT_EQ(other->text, L"");
    drag(3, 6, {100, 250}, false);
    EXPECT_EQ(other->text, L"при");
    EXPECT_EQ(box.ResultsText(), "ab ab");
    EXPECT_EQ(::GetCapture(), nullptr);
    ::RevokeDragDrop(elsewhere.Get());

    // The drag stops, dropping nothing, on Escape or the right button alone.
    ResultsBoxDropSource source;
    EXPECT_EQ(source.QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source.QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source.QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);

    // The 8-bit text is made of every block of what is dragged.
    ComReference<ResultsBoxDataObject> dragged(
        new ResultsBoxDataObject(BlockBytes::CopyOf("ab \xEF\xF0\xE8", 2)));
    EXPECT_EQ(Given(dragged.get(), CF_TEXT).c_str(), std::string("ab \xEF\xF0\xE8"));
}

// Another program's text, Unicode or 8-bit in its locale's code page, dropped on the box lands
// where the pointer is, as a move unless Ctrl is held; what holds no text is refused.
TEST(Win32ResultsBoxTest, OtherProgramsTextDropsWhereThePointerIs) {
    const ComApartment com;
    WindowHandle parent(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr,
                                          nullptr, Instance(), nullptr));
    ResultsBox box;
    box.Create(parent.Get(), 5, L"", Instance());
    ::MoveWindow(box.Handle(), 0, 0, 200, 100, FALSE);
    box.SetResultsText("ab cd");
    IDropTarget* target = box.DropTarget();
    ASSERT_NE(target, nullptr);
    const auto at = [&box](std::size_t offset) {
        const PixelRect caret = box.Editor().CaretRect(offset);
        POINT point{caret.left + 1, caret.top + 2};
        ::ClientToScreen(box.Handle(), &point);
        return POINTL{point.x, point.y};
    };
    DWORD entered = 0;  // what the drag over the box showed
    const auto drop = [&](IDataObject* data, std::size_t offset, DWORD keys) {
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->DragEnter(data, MK_LBUTTON | keys, at(offset), &effect);
        entered = effect;
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->Drop(data, keys, at(offset), &effect);
        return effect;
    };
    const wchar_t hedgehog[] = L"ёж";
    ComReference<OtherProgramsData> text(
        new OtherProgramsData(CF_UNICODETEXT, hedgehog, sizeof hedgehog));
    EXPECT_EQ(drop(text.get(), 3, 0), DWORD{DROPEFFECT_MOVE});
    EXPECT_EQ(box.ResultsText(),
              "ab \xB8\xE6"
              "cd");
    EXPECT_EQ(drop(text.get(), 0, MK_CONTROL), DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(entered, DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(box.ResultsText(),
              "\xB8\xE6"
              "ab \xB8\xE6"
              "cd");

    const wchar_t empty[] = L"";
    ComReference<OtherProgramsData> nothing(new OtherProgramsData(CF_UNICODETEXT, empty, 2));
    const char image[16]{};
    ComReference<OtherProgramsData> picture(new OtherProgramsData(CF_DIB, image, sizeof image));
    EXPECT_EQ(drop(picture.get(), 2, 0), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(entered, DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(drop(nothing.get(), 2, 0), DWORD{DROPEFFECT_NONE});  // a program that moved it
    EXPECT_EQ(entered, DWORD{DROPEFFECT_MOVE});                    // keeps it
    EXPECT_EQ(box.ResultsText(),
              "\xB8\xE6"
              "ab \xB8\xE6"
              "cd");

    const LCID russian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);
    ComReference<OtherProgramsData> bytes(new OtherProgramsData(CF_TEXT, "\xEF\xF0\xE8", 4));
    bytes->Add(CF_LOCALE, &russian, sizeof russian);
    EXPECT_EQ(drop(bytes.get(), 0, 0), DWORD{DROPEFFECT_MOVE});
    EXPECT_EQ(box.ResultsText().substr(0, 5), "\xEF\xF0\xE8\xB8\xE6");
}

// The selected letters show on the selection's colour, and a part of the box repainted alone is
// drawn as the whole box drew it.
TEST(Win32ResultsBoxTest, SelectedLettersShowAndAPartRepaintsInPlace) {
    WindowHandle parent(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr,
                                          nullptr, Instance(), nullptr));
    ResultsBox box;
    box.Create(parent.Get(), 5, L"", Instance());
    const HWND window = box.Handle();
    ::MoveWindow(window, 0, 0, 200, 100, FALSE);
    ::ShowWindow(parent.Get(), SW_SHOWNA);
    box.SetResultsText("ab \xEF\xF0\xE8 cd");
    box.Editor().SetSelection(3, 6);
    const PixelRect from = box.Editor().CaretRect(3);
    const RECT selected{from.left, from.top, box.Editor().CaretRect(6).left,
                        from.top + from.height};
    const auto repainted = [&](const RECT* part) {
        ::InvalidateRect(window, part, FALSE);
        ::UpdateWindow(window);
        const WindowDc dc(window);
        std::vector<COLORREF> pixels;
        for (int y = selected.top; y < selected.bottom; ++y) {
            for (int x = selected.left; x < selected.right; ++x) {
                pixels.push_back(::GetPixel(dc.Get(), x, y));
            }
        }
        // Black until painted again.
        ::PatBlt(dc.Get(), 0, 0, 200, 100, BLACKNESS);
        return pixels;
    };
    const std::vector<COLORREF> whole = repainted(nullptr);
    const auto background = std::count(whole.begin(), whole.end(), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(background, 0);
    EXPECT_LT(background, static_cast<std::ptrdiff_t>(whole.size()));
    EXPECT_EQ(repainted(&selected), whole);

    // The mouse's own double click, which Windows makes one only for a class that asks for it.
    POINT at{1, from.top + 2};
    ::ClientToScreen(window, &at);
    ::SetCursorPos(at.x, at.y);
    INPUT clicks[4]{};
    for (std::size_t i = 0; i < std::size(clicks); ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    ::SendInput(std::size(clicks), clicks, sizeof(INPUT));
    EXPECT_TRUE(DeliveredUntil(
        [&box] { return box.Editor().SelectionStart() == 0 && box.Editor().SelectionEnd() == 2; }));
}

TEST(Win32WindowTest, ControlsStandWhereTheLayoutPutsThemAndTabGoesInItsOrder) {
    const ComApartment com;
    CursorRegistry cursors;
    TForm1 form(Instance(), cursors);
    const int dpi = static_cast<int>(::GetDpiForWindow(form.Handle()));
    const auto at = [&](TForm1::ControlId id) {
        RECT rect{};
        ::GetWindowRect(form.Control(id), &rect);
        ::MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return std::vector<int>{::MulDiv(rect.left, 96, dpi), ::MulDiv(rect.top, 96, dpi),
                                ::MulDiv(rect.right - rect.left, 96, dpi),
                                ::MulDiv(rect.bottom - rect.top, 96, dpi)};
    };
    EXPECT_EQ(at(TForm1::Button2), (std::vector<int>{8, 8, 161, 25}));
    EXPECT_EQ(at(TForm1::Memo1), (std::vector<int>{8, 80, 329, 113}));
    EXPECT_EQ(at(TForm1::Button5), (std::vector<int>{176, 38, 161, 27}));
    EXPECT_EQ(at(TForm1::CheckBox1), (std::vector<int>{8, 40, 81, 23}));
    EXPECT_EQ(at(TForm1::Grlink2)[0], 216);
    // The status line widens with its text, with room after its last letter.
    form.SetStatus("\xCF\xEE\xE8\xF1\xEA \xE7\xE0\xE2\xE5\xF0\xF8\xB8\xED!");
    const HWND status = form.Control(TForm1::Label4);
    RECT text{};
    RECT label{};
    {
        const WindowDc dc(status);
        const SelectedObject font(
            dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(status, WM_GETFONT, 0, 0)));
        ::DrawTextW(dc.Get(), L"Поиск завершён!", -1, &text, DT_CALCRECT | DT_SINGLELINE);
    }
    ::GetClientRect(status, &label);
    EXPECT_GT(label.right, text.right);

    const TForm1::ControlId order[] = {TForm1::Button2, TForm1::Button4,   TForm1::Memo1,
                                       TForm1::Button5, TForm1::CheckBox1, TForm1::Button1,
                                       TForm1::Button2};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        EXPECT_EQ(::GetNextDlgTabItem(form.Handle(), form.Control(order[i]), FALSE),
                  form.Control(order[i + 1]));
    }

    // Made smaller than its controls, the window scrolls to the one that takes the focus.
    ::SetWindowPos(form.Handle(), nullptr, 0, 0, ::MulDiv(240, dpi, 96), ::MulDiv(120, dpi, 96),
                   SWP_NOMOVE | SWP_NOZORDER);
    ::ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    ::SetFocus(form.Control(TForm1::Button5));
    RECT client{};
    ::GetClientRect(form.Handle(), &client);
    const std::vector<int> button5 = at(TForm1::Button5);
    EXPECT_GE(button5[0], 0);
    EXPECT_EQ(button5[1] + ::MulDiv(::GetScrollPos(form.Handle(), SB_VERT), 96, dpi), 38);
    EXPECT_LE(::MulDiv(button5[0] + button5[2], dpi, 96), client.right);
}

// The results box's messages are UTF-8, a file error's path Windows-1251.
TEST(Win32WindowTest, ErrorTextIsUtf8OrElseWindows1251) {
    EXPECT_EQ(ErrorText("Недостаточно памяти"), L"Недостаточно памяти");
    EXPECT_EQ(ErrorText("Cannot open file \"C:\\\xEF\xF3\xF2\xFC.txt\""),
              L"Cannot open file \"C:\\путь.txt\"");
}

// A dialog of the thread's, answered by Escape as it shows; its texts kept.
std::wstring g_dialog_texts;
BOOL CALLBACK KeepText(HWND child, LPARAM) {
    wchar_t text[256]{};
    ::GetWindowTextW(child, text, static_cast<int>(std::size(text)));
    g_dialog_texts += text + std::wstring(L"\n");
    return TRUE;
}
LRESULT CALLBACK CancelDialog(int code, WPARAM wparam, LPARAM lparam) {
    const auto window = reinterpret_cast<HWND>(wparam);
    wchar_t name[16]{};
    if (code == HCBT_ACTIVATE && ::GetClassNameW(window, name, 16) &&
        name == std::wstring(L"#32770")) {
        g_dialog_texts.clear();
        ::EnumChildWindows(window, &KeepText, 0);
        ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

// An error's box ends its message with a full stop, a cancelled file dialog gives no path, and a
// save's progress gives the window back.
TEST(Win32WindowTest, DialogsShowAndGiveBackWhatTheyShould) {
    WindowHandle window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr,
                                          nullptr, Instance(), nullptr));
    ::ShowWindow(window.Get(), SW_SHOWNA);
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, &CancelDialog, nullptr, ::GetCurrentThreadId());
    ShowError("Недостаточно памяти");
    EXPECT_NE(g_dialog_texts.find(L"Недостаточно памяти.\n"), std::wstring::npos) << g_dialog_texts;
    OpenFileDialog dialog(window.Get());
    EXPECT_EQ(dialog.AskForPath(L"C:\\words.txt"), std::nullopt);
    ::UnhookWindowsHookEx(hook);
    {
        ProgressAfterDelay progress(window.Get(), L"Сохранение", std::chrono::milliseconds{0});
        progress.Report(1, 2);
        EXPECT_NE(progress.Dialog(), nullptr);
        EXPECT_FALSE(::IsWindowEnabled(window.Get()));
    }
    EXPECT_TRUE(::IsWindowEnabled(window.Get()));
}

// Whether a quit waits in the thread's queue, for the program's own loop; the rest delivered.
bool QuitWaits() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return true;
        ::DispatchMessageW(&message);
    }
    return false;
}

// The answer to the question before closing decides, for the close box and for the session's
// end alike; the window destroyed, its quit outlives a command's pass through the events.
TEST(Win32WindowTest, TheAnswerBeforeClosingDecides) {
    struct Row {
        UINT message;
        int answer;
        LRESULT result;
        bool stays;
    };
    for (const Row& row :
         {Row{WM_CLOSE, IDCANCEL, 0, true}, Row{WM_QUERYENDSESSION, IDCANCEL, FALSE, true},
          Row{WM_QUERYENDSESSION, IDNO, TRUE, true}, Row{WM_CLOSE, IDNO, 0, false}}) {
        const ComApartment com;
        CursorRegistry cursors;
        TForm1 form(Instance(), cursors);
        const HWND window = form.Handle();
        form.Results().SetResultsText(" words");
        int asked = 0;
        ReplaceQuestionBox([&](const std::wstring&) {
            ++asked;
            return row.answer;
        });
        EXPECT_EQ(::SendMessageW(window, row.message, 0, 0), row.result) << row.message;
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(::IsWindow(window) != FALSE, row.stays) << row.message;
        form.ProcessPendingEvents();
        EXPECT_EQ(QuitWaits(), !row.stays) << row.message;
    }
    // Escape and the close box answer a yes or no question "Нет".
    ReplaceQuestionBox([](const std::wstring&) { return IDCANCEL; });
    EXPECT_FALSE(AskQuestion(L"Заменить?"));
    ReplaceQuestionBox({});
}

TEST(Win32WindowTest, ApplicationTitleIsTheFileNameLowered) {
    EXPECT_EQ(ApplicationTitleFromPath(L"C:\\Program Files\\WORDS.EXE"), L"Words");
    EXPECT_EQ(ApplicationTitleFromPath(L"C:\\x\\БУКВОТОК.v2.exe"), L"Буквоток");
    EXPECT_EQ(ApplicationTitleFromPath(L"bukvotok"), L"bukvotok");
    // A path past the 255 characters a buffer of 256 holds is cut before the name is taken.
    EXPECT_EQ(ApplicationTitleFromPath(L"C:\\" + std::wstring(249, L'a') + L"\\BUKVOTOK.EXE"),
              L"Bu");
}

}  // namespace
}  // namespace bukvotok::win32
