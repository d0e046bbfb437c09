// Where the results box goes until it has a window class of its own: a white, sunken area at its
// place, which takes the focus in its turn, so that the layout and Tab's round are the window's
// final ones, and shows the end of the results as the search appends to them.  No editing: the
// text is the shared document's (DocumentResults), which the window's commands act on.
#pragma once

#include <windows.h>

namespace bukvotok {
class DocumentResults;
}

namespace bukvotok::win32 {

// A child of `parent`; named `name` for screen readers.  `results` must outlive it.
HWND CreateResultsPlaceholder(HWND parent, int id, const wchar_t* name, HINSTANCE instance,
                              const DocumentResults& results);

}  // namespace bukvotok::win32
