// The command's standard input, output and error as the system has them, and the text it writes
// there for a person to read.
//
// That text is UTF-8 on every system: Linux terminals take it as it is, and the Windows console,
// whose code page is rarely UTF-8, is handed its characters instead of its bytes.  Arguments and
// the core's messages are brought to it by ArgumentText and MessageText.  The words found are
// not text of this kind: ResultsOutput writes them as bytes.
#pragma once

#include <string>
#include <string_view>

#include "NativePath.h"
#include "SystemFile.h"

namespace bukvotok {

NativeFile StandardInput();
NativeFile StandardOutput();
NativeFile StandardError();

// A terminal, or on Windows a console.
bool IsTerminal(NativeFile file);

// Whether a line written to `file` can be redrawn in place ("\r", and "\033[K" to erase its
// end): a terminal, or a Windows console that takes those controls (Windows 10 and later, where
// they are switched on here).
bool CanRedrawLine(NativeFile file);

// Writes all of `utf8`: 0, or the system's error code when a write fails.
int WriteText(NativeFile file, std::string_view utf8);

// An argument as a message shows it: on Windows its UTF-8.
std::string ArgumentText(const NativePath& argument);

// A message of the core, whose texts are Windows-1251 on Windows, as UTF-8; elsewhere its bytes
// as they are, a path's bytes included.
std::string MessageText(std::string_view core_message);

}  // namespace bukvotok
