// Where the results box goes until it has a window class of its own: a white, sunken, empty
// area at its place, which takes the focus in its turn, so that the layout and Tab's round are
// the window's final ones.
#pragma once

#include <windows.h>

namespace bukvotok::win32 {

// A child of `parent`; named `name` for screen readers.
HWND CreateResultsPlaceholder(HWND parent, int id, const wchar_t* name, HINSTANCE instance);

}  // namespace bukvotok::win32
