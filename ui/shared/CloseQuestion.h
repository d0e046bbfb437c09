// What closing the window asks when it would lose results that are in no file: the text of the
// results box, unless it is as it was saved, and the removed text kept for the user, which undo
// or redo would bring back.  An empty box, or one as it was saved, with nothing removed kept,
// closes without a question.
#pragma once

namespace bukvotok {

class WindowFace;
class WindowResults;

enum class CloseAnswer {
    kClose,      // nothing to lose, or the user lets it go
    kSaveFirst,  // "Да": save the results, and close once they are saved
    kKeepOpen,   // "Отмена", "Нет" to losing removed text, or Escape
};

// Whether closing would lose anything, which asking is about.
bool ClosingLosesResults(const WindowResults& results);
CloseAnswer AskBeforeClosing(const WindowResults& results, WindowFace& face);

}  // namespace bukvotok
