// What a user's actions cost in the Win32 results box on a full box, as bench_results_box
// --actions measures the Qt box: each is the messages Windows would send for it and the repaint
// after it (UpdateWindow), the least of three.  Not a test: it prints numbers.  Run under wine on
// an X screen (the box must be shown to paint).
//
//   bench_win32_box [MEGABYTES...]   (default 200)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Handles.h"
#include "ResultsBox.h"
#include "WindowFont.h"
#include "windows/WideText.h"

namespace {

using bukvotok::win32::ResultsBox;

void Pump() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Until the lines laid out behind are all in.
void Settle(ResultsBox& box) {
    do {
        Pump();
        ::Sleep(1);
    } while (box.Editor().Lines().Pending());
    Pump();
}

double Timed(ResultsBox& box, const std::function<void()>& action,
             const std::function<void()>& before = {}, const std::function<void()>& after = {}) {
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        if (before) before();
        ::UpdateWindow(box.Handle());
        const auto start = std::chrono::steady_clock::now();
        action();
        ::UpdateWindow(box.Handle());
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        if (after) after();
    }
    return best;
}

// A key as Windows sends it, with Ctrl held or not.
void Key(ResultsBox& box, WPARAM key, bool ctrl = false) {
    BYTE state[256]{};
    ::GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    ::SetKeyboardState(state);
    ::SendMessageW(box.Handle(), WM_KEYDOWN, key, 0);
    state[VK_CONTROL] = 0;
    ::SetKeyboardState(state);
}

void Char(ResultsBox& box, wchar_t unit) { ::SendMessageW(box.Handle(), WM_CHAR, unit, 0); }

void Fill(ResultsBox& box, std::size_t megabytes) {
    std::vector<std::string> words;
    for (const char* word : {"а", "кот", "слово", "дом", "переход", "молоко", "рыба", "ёж", "стол",
                             "окно", "подоконник", "лес", "вода"}) {
        words.push_back(bukvotok::WideToCp1251(bukvotok::Utf8ToWide(word)));
    }
    box.SetResultsText({});
    const std::size_t target = megabytes * 1000 * 1000;
    std::uint32_t pick = 1;
    for (;;) {
        pick = pick * 1664525 + 1013904223;
        const std::string& word = words[(pick >> 16) % words.size()];
        if (box.ResultsSize() + word.size() + 1 > target) break;
        box.AppendWord(word);
    }
}

void PutOtherProgramsText(HWND owner, std::size_t units) {
    std::wstring text;
    while (text.size() < units) text += L"слово ";
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
    ::GlobalUnlock(memory);
    ::OpenClipboard(owner);
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

void Measure(ResultsBox& box, HWND parent, std::size_t megabytes) {
    Fill(box, megabytes);
    ::SetFocus(box.Handle());
    Settle(box);
    bukvotok::ResultsEditor& editor = box.Editor();
    const std::size_t size = box.ResultsSize();
    const auto at = [&editor](std::size_t offset) {
        return [&editor, offset] { editor.SetSelection(offset, offset); };
    };
    const auto undo = [&box] { Key(box, 'Z', true); };
    RECT client{};
    ::GetClientRect(box.Handle(), &client);
    const LPARAM inside = MAKELPARAM(client.right / 2, client.bottom / 2);
    const auto click = [&box, inside](UINT press) {
        return [&box, inside, press] {
            ::SendMessageW(box.Handle(), press, MK_LBUTTON, inside);
            ::SendMessageW(box.Handle(), WM_LBUTTONUP, 0, inside);
        };
    };

    std::printf("%zu MB (%zu bytes) of a search's words, box %ldx%ld px:\n", megabytes, size,
                client.right, client.bottom);
    const auto show = [](const char* name, double ms) {
        std::printf("  %-44s %8.2f ms\n", name, ms);
    };
    show("Ctrl+Home", Timed(
                          box, [&] { Key(box, VK_HOME, true); }, at(size)));
    show("Ctrl+End", Timed(
                         box, [&] { Key(box, VK_END, true); }, at(0)));
    show("PgDn", Timed(
                     box, [&] { Key(box, VK_NEXT); }, at(size / 2)));
    show("PgUp", Timed(
                     box, [&] { Key(box, VK_PRIOR); }, at(size / 2)));
    show("the wheel",
         Timed(
             box, [&] { ::SendMessageW(box.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -360), inside); },
             at(size / 2)));
    show("a click", Timed(box, click(WM_LBUTTONDOWN), at(size / 2)));
    show("letter at the top", Timed(
                                  box, [&] { Char(box, L'ж'); }, at(0), undo));
    show("its undo", Timed(box, undo, [&] {
             at(0)();
             Char(box, L'ж');
         }));
    show("letter in the middle", Timed(
                                     box, [&] { Char(box, L'ж'); }, at(size / 2), undo));
    show("select all", Timed(
                           box, [&] { Key(box, 'A', true); }, at(0)));
    show("a letter over all",
         Timed(
             box, [&] { Char(box, L'x'); }, [&] { Key(box, 'A', true); }, undo));
    show("its undo", Timed(box, undo, [&] {
             Key(box, 'A', true);
             Char(box, L'x');
         }));
    const std::size_t share = size / 10 * 6;
    show("Delete of 60 %",
         Timed(
             box, [&] { Key(box, VK_DELETE); }, [&] { editor.SetSelection(0, share); }, undo));
    show("its undo", Timed(box, undo, [&] {
             editor.SetSelection(0, share);
             Key(box, VK_DELETE);
         }));
    show("Очистить", Timed(
                         box, [&] { box.Clear(); }, {}, undo));
    show("its undo", Timed(box, undo, [&] { box.Clear(); }));
    show("double-click", Timed(box, click(WM_LBUTTONDBLCLK), at(size / 2)));
    show("Ctrl+C of all", Timed(
                              box, [&] { Key(box, 'C', true); }, [&] { Key(box, 'A', true); }));
    // What another program then waits for: the copy made Unicode text.
    const auto start = std::chrono::steady_clock::now();
    std::size_t units = 0;
    if (::OpenClipboard(parent)) {
        if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            units = ::GlobalSize(data) / sizeof(wchar_t);
        }
        ::CloseClipboard();
    }
    const std::chrono::duration<double, std::milli> render =
        std::chrono::steady_clock::now() - start;
    std::printf("  %-44s %8.0f ms (%zu units; not the box's action)\n",
                "another program reading that copy", render.count(), units);
    PutOtherProgramsText(parent, 1 << 20);
    show("a paste of 1 M characters at the top",
         Timed(
             box, [&] { Key(box, 'V', true); }, at(0), undo));
    Settle(box);
    int width = client.right;
    const auto widen = [&] {
        width = width == client.right ? client.right + 40 : client.right;
        ::SetWindowPos(box.Handle(), nullptr, 0, 0, width, client.bottom,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    show("a width change", Timed(box, widen));
    show("then Ctrl+End", Timed(
                              box, [&] { Key(box, VK_END, true); },
                              [&] {
                                  at(0)();
                                  widen();
                              }));
    Settle(box);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<std::size_t>(std::wcstoul(argv[i], nullptr, 10)));
    if (sizes.empty()) sizes.push_back(200);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    bukvotok::win32::WindowHandle parent(
        ::CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 200,
                          nullptr, nullptr, instance, nullptr));
    const bukvotok::win32::FontHandle font = bukvotok::win32::CreateWindowFont(96);
    ResultsBox box;
    box.Create(parent.Get(), 1, L"", instance);
    ::SendMessageW(box.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    ::MoveWindow(box.Handle(), 8, 8, 329, 113, TRUE);
    for (const std::size_t megabytes : sizes) Measure(box, parent.Get(), megabytes);
    return 0;
}
