// The window's font: "MS Sans Serif", 11 pixels high at 96 ppi (8 points), in its Cyrillic
// character set, as the window was laid out for.  That face is a bitmap font made in a few
// sizes and, on many systems, for their own code page only; where it cannot show Cyrillic at
// the monitor's size, a scalable sans face of the same measure takes its place.
#pragma once

#include <windows.h>

#include "Handles.h"

namespace bukvotok::win32 {

FontHandle CreateWindowFont(int dpi);

// The same face and size, underlined, for the links.
FontHandle CreateUnderlinedFont(HFONT font);

}  // namespace bukvotok::win32
