// The top-level error report: a modal box with the error icon and one OK button, titled with
// the application's title, over the active window, which it disables while it is up and gives
// the focus back to when it closes.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ReportErrors.h"

namespace bukvotok::win32 {

// The message is bytes: the program's own texts in UTF-8 (the results box's are Russian), with
// any path in Windows-1251 (ErrorText).  A full stop is added after a last letter or digit.
void ShowError(std::string_view message);

// The message's text: UTF-8 where the bytes are well-formed UTF-8, else Windows-1251.  Russian in
// Windows-1251 is practically never well-formed UTF-8 (a small letter would need two or three
// of the bytes from 0x80 to 0xBF, Ё, ё and symbols, after it), so the bytes tell which they are.
std::wstring ErrorText(std::string_view message);

// Runs a command and reports any error it raises, so that nothing unwinds into Windows'
// frames: the command ends, the program goes on.
template <typename Command>
void RunCommand(Command&& command) noexcept {
    ReportErrors(std::forward<Command>(command),
                 [](std::string_view message) { ShowError(message); });
}

// The window a box of the program's goes over: the active one, else the program's visible one.
HWND BoxOwner();

}  // namespace bukvotok::win32
