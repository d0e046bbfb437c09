// The top-level error report: a modal box with the error icon and one OK button, titled with
// the application's title, over the active window.
#pragma once

#include <QString>
#include <functional>
#include <string_view>

namespace bukvotok {

// The message is bytes: ASCII, with any path in the file system's encoding.  A full stop is
// added after a last letter or digit.
void ShowError(std::string_view message);

// Tests take the boxes' title and text here instead of showing them; an empty function brings
// the boxes back.  Returns the previous one.
using ErrorBoxReplacement = std::function<void(const QString& title, const QString& text)>;
ErrorBoxReplacement ReplaceErrorBox(ErrorBoxReplacement replacement);

// Runs a command and reports any error it raises, so that nothing unwinds into Qt's frames
// (Qt is built without exception support): the command ends, the program goes on.
template <typename Command>
void RunCommand(Command&& command) noexcept;

}  // namespace bukvotok

#include "RunCommand.inl"
