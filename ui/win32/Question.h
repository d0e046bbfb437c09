// The questions the window asks, each before a step that cannot be taken back: a modal box
// over the active window with the buttons "Да" and "Нет", in Russian whatever the system's
// language; "Нет" is the default and Escape's answer.
#pragma once

#include <functional>
#include <string>

#include "Answer.h"

namespace bukvotok::win32 {

// True for "Да".
bool AskQuestion(const std::wstring& text);

// "Да", "Нет" or "Отмена", for a step the user may also put off: "Да" the default, "Отмена"
// Escape's answer and the close box's.
Answer AskYesNoCancel(const std::wstring& text);

// Asks whether to save the results over the loaded dictionary's file, named by `path`.
bool AskToReplaceDictionary(const std::wstring& path);

// Tests take the box's text here and answer instead of the user, with the id of the button
// pressed (IDYES, IDNO, IDCANCEL); an empty function brings the box back.  Returns the previous
// one.
using QuestionBoxReplacement = std::function<int(const std::wstring& text)>;
QuestionBoxReplacement ReplaceQuestionBox(QuestionBoxReplacement replacement);

}  // namespace bukvotok::win32
