// bukvotok.exe: the window program on Windows.  It takes no command line of its own.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <exception>

#include "ComApartment.h"
#include "CursorRegistry.h"
#include "ShowError.h"
#include "Unit1.h"

namespace {

using bukvotok::win32::TForm1;

int RunWindow(HINSTANCE instance, int show_command) {
    const bukvotok::win32::ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);

    bukvotok::win32::CursorRegistry cursors;
    TForm1 form(instance, cursors);
    form.Show(show_command);

    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) form.Deliver(message);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    int exit_code = 1;
    // Only the window's making can fail here: commands report their own errors.
    bukvotok::win32::RunCommand([&] { exit_code = RunWindow(instance, show_command); });
    return exit_code;
}
