// bukvotok.exe: the window program on Windows.  It takes no command line of its own.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <exception>

#include "ComApartment.h"
#include "CursorRegistry.h"
#include "ShowError.h"
#include "Unit1.h"
#include "WindowCommands.h"

namespace {

using bukvotok::win32::TForm1;

// The place of the window's commands, which are to be written once for both faces: until then
// the load and save buttons show the file dialog and do nothing with the path, and the search
// and clear buttons do nothing.
class CommandsToCome : public bukvotok::WindowCommands {
public:
    void Attach(TForm1& form) { form_ = &form; }
    void Button2Click() override { static_cast<void>(form_->OpenDialog1().AskForPath()); }
    void Button4Click() override {}
    void Button5Click() override { static_cast<void>(form_->OpenDialog1().AskForPath()); }
    void Button1Click() override {}

private:
    TForm1* form_ = nullptr;
};

int RunWindow(HINSTANCE instance, int show_command) {
    const bukvotok::win32::ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);

    bukvotok::win32::CursorRegistry cursors;
    CommandsToCome commands;
    TForm1 form(instance, cursors, &commands);
    commands.Attach(form);
    form.Show(show_command);

    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Space, Return and the arrows move between and press the controls, as in a dialog.
        if (form.Handle() != nullptr && ::IsDialogMessageW(form.Handle(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    int exit_code = 1;
    // Only the window's making can fail here: commands report their own errors.
    bukvotok::win32::RunCommand([&] { exit_code = RunWindow(instance, show_command); });
    return exit_code;
}
