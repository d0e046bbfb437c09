// Standard error beside the words on standard output.
//
// The words come with no line end at all.  When both streams show on one terminal, a line
// written to standard error would continue the words' last screen line, and a progress line
// redrawn with "\r" and erased at the end would overwrite and wipe it.  Standard output must stay
// exactly the results text, so the separating is done here, on standard error: a line break
// before anything written after words, and the progress line erased before more words come, so
// that it always stands alone on the last line.
#pragma once

#include <string_view>

namespace bukvotok {

class StderrLine {
public:
    // words_share_terminal: standard output and standard error are both terminals.
    explicit StderrLine(bool words_share_terminal) : words_share_terminal_(words_share_terminal) {}

    // Around every write of words to standard output.
    void BeforeWords();
    void AfterWords() { words_hold_line_ = words_share_terminal_; }

    // Draws the progress line, or redraws it in place.
    void ShowProgress(std::string_view text);

    // Before a line of its own (the figures, a message) and at the end: the progress line is
    // erased and a screen line holding words is ended.
    void StartLine();

private:
    void EraseProgress();

    const bool words_share_terminal_;
    bool words_hold_line_ = false;
    bool progress_shown_ = false;
};

}  // namespace bukvotok
