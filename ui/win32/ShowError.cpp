#include "ShowError.h"

#include <string>

#include "ApplicationTitle.h"
#include "Errors.h"
#include "windows/WideText.h"

namespace bukvotok::win32 {

HWND BoxOwner() { return ::GetActiveWindow(); }

void ShowError(std::string_view message) {
    const std::wstring text = Cp1251ToWide(WithFullStop(std::string(message)));
    const std::wstring title = ApplicationTitle();
    ::MessageBoxW(BoxOwner(), text.c_str(), title.c_str(), MB_ICONERROR | MB_OK);
}

}  // namespace bukvotok::win32
