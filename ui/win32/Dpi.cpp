#include "Dpi.h"

namespace bukvotok::win32 {

namespace {

// Looked up at run time, so that the program still starts where they are missing.
template <typename Function>
Function User32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
               : nullptr;
}

int ScreenDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int DpiOf(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto get_dpi = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = get_dpi && window ? get_dpi(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

RECT OuterRect(const RECT& client, DWORD style, DWORD ex_style, int dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust_for_dpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT outer = client;
    if (adjust_for_dpi) {
        adjust_for_dpi(&outer, style, FALSE, ex_style, static_cast<UINT>(dpi));
    } else {
        ::AdjustWindowRectEx(&outer, style, FALSE, ex_style);
    }
    return outer;
}

}  // namespace bukvotok::win32
