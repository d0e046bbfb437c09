// The questions the window asks, each before a step that cannot be taken back: a modal box over
// the active window, with the answer that takes no step the default or Escape's.
#pragma once

#include <QString>
#include <functional>

#include "Answer.h"

namespace bukvotok {

// True for "Да".
bool AskQuestion(const QString& text);

// "Да", "Нет" or "Отмена", for a step the user may also put off: "Да" the default, "Отмена"
// Escape's answer and the window manager's close.
Answer AskYesNoCancel(const QString& text);

// Tests take the box's title and text here and answer instead of the user; an empty function
// brings the box back.  Returns the previous one.
using QuestionBoxReplacement = std::function<bool(const QString& title, const QString& text)>;
QuestionBoxReplacement ReplaceQuestionBox(QuestionBoxReplacement replacement);
using ThreeWayBoxReplacement = std::function<Answer(const QString& title, const QString& text)>;
ThreeWayBoxReplacement ReplaceThreeWayBox(ThreeWayBoxReplacement replacement);

}  // namespace bukvotok
