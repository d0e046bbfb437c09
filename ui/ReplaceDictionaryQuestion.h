// The one question the window asks: whether to save the results over the file the dictionary
// was loaded from.  The file dialog offers the path last used, so right after a load a single
// Return would otherwise put the results in place of the user's word list.
#pragma once

#include <QString>
#include <functional>

namespace bukvotok {

// Asks in a modal box over the active window, naming the file as `path` gives it; "Нет" is the
// default and Escape's answer.  True for "Да".
bool AskToReplaceDictionary(const QString& path);

// Tests take the box's title and text here and answer instead of the user; an empty function
// brings the box back.  Returns the previous one.
using QuestionBoxReplacement = std::function<bool(const QString& title, const QString& text)>;
QuestionBoxReplacement ReplaceQuestionBox(QuestionBoxReplacement replacement);

}  // namespace bukvotok
