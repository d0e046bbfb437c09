// The questions the window asks, each before a step that cannot be taken back: a modal box over
// the active window, "Нет" the default and Escape's answer.
#pragma once

#include <QString>
#include <functional>

namespace bukvotok {

// True for "Да".
bool AskQuestion(const QString& text);

// Tests take the box's title and text here and answer instead of the user; an empty function
// brings the box back.  Returns the previous one.
using QuestionBoxReplacement = std::function<bool(const QString& title, const QString& text)>;
QuestionBoxReplacement ReplaceQuestionBox(QuestionBoxReplacement replacement);

}  // namespace bukvotok
