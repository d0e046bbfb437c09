// The Windows smoke test's eyes on the running window, from another program of the same wine
// prefix: where its controls are on the screen and what its status line says, which xdotool
// cannot tell, as wine makes no X window for a child control.
//   window_probe places                  "NAME X Y" for each button and the stop box: its middle
//                                        on the screen
//   window_probe status TEXT SECONDS     waits until the status line reads TEXT; gives up after
//                                        SECONDS, saying what it reads
//   window_probe written PATH SECONDS    waits until the file is there and no program has it open
//                                        for writing
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Unit1.h"

namespace {

using bukvotok::win32::TForm1;

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string Utf8(std::wstring_view text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    return bytes;
}

int PrintPlaces(HWND form) {
    struct Named {
        const char* name;
        TForm1::ControlId id;
    };
    constexpr Named kControls[] = {{"Button2", TForm1::Button2},
                                   {"Button4", TForm1::Button4},
                                   {"Button5", TForm1::Button5},
                                   {"Button1", TForm1::Button1},
                                   {"CheckBox1", TForm1::CheckBox1}};
    for (const Named& control : kControls) {
        RECT place{};
        if (!::GetWindowRect(::GetDlgItem(form, control.id), &place)) return 1;
        std::printf("%s %ld %ld\n", control.name, (place.left + place.right) / 2,
                    (place.top + place.bottom) / 2);
    }
    return 0;
}

int WaitForStatus(HWND form, std::wstring_view expected, int seconds) {
    const HWND status = ::GetDlgItem(form, TForm1::Label4);
    const ULONGLONG give_up = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    std::wstring text;
    while ((text = TextOf(status)) != expected) {
        if (::GetTickCount64() >= give_up) {
            std::fprintf(stderr, "gave up waiting for the status \"%s\": it reads \"%s\"\n",
                         Utf8(expected).c_str(), Utf8(text).c_str());
            return 1;
        }
        ::Sleep(20);
    }
    return 0;
}

// Wine's server keeps Windows' sharing rules: a file a program still writes cannot be opened by
// another that shares only reading.
int WaitUntilWritten(const wchar_t* path, int seconds) {
    const ULONGLONG give_up = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    for (;;) {
        const HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return 0;
        }
        if (::GetTickCount64() >= give_up) {
            std::fprintf(stderr, "gave up waiting for the file to be written (error %lu)\n",
                         ::GetLastError());
            return 1;
        }
        ::Sleep(20);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring_view command = argc > 1 ? argv[1] : L"";
    const HWND form = ::FindWindowW(TForm1::kClassName, L"Буквоток");
    if (form == nullptr) {
        std::fprintf(stderr, "no window of Буквоток\n");
        return 1;
    }
    if (command == L"places" && argc == 2) return PrintPlaces(form);
    if (command == L"status" && argc == 4) return WaitForStatus(form, argv[2], _wtoi(argv[3]));
    if (command == L"written" && argc == 4) return WaitUntilWritten(argv[2], _wtoi(argv[3]));
    std::fprintf(stderr,
                 "usage: window_probe places | status TEXT SECONDS | written PATH SECONDS\n");
    return 2;
}
