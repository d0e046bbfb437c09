// Pixels per inch, per monitor.  The window was laid out at 96; on a denser monitor every
// place, size and the font grow by the monitor's factor, as one.  The calls that tell a
// window's own density came with Windows 10; on older systems the screen's density holds.
#pragma once

#include <windows.h>

namespace bukvotok::win32 {

inline constexpr int kDesignDpi = 96;

// `pixels` at 96 ppi, at `dpi`.
inline int Scale(int pixels, int dpi) { return ::MulDiv(pixels, dpi, kDesignDpi); }

int DpiOf(HWND window);

// The outer rectangle of a window of `style` whose client area is `client`, at `dpi`.
RECT OuterRect(const RECT& client, DWORD style, DWORD ex_style, int dpi);

}  // namespace bukvotok::win32
