// The top-level error report: a modal box with the error icon and one OK button, titled with
// the application's title, over the active window, which it disables while it is up and gives
// the focus back to when it closes.
#pragma once

#include <windows.h>

#include <string_view>

#include "ReportErrors.h"

namespace bukvotok::win32 {

// The message is bytes: ASCII, with any path in Windows-1251.  A full stop is added after a
// last letter or digit.
void ShowError(std::string_view message);

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
