#include "StderrLine.h"

#include "StandardStreams.h"

namespace bukvotok {

namespace {

void Put(std::string_view text) { WriteText(StandardError(), text); }

}  // namespace

void StderrLine::BeforeWords() {
    if (words_share_terminal_) EraseProgress();
}

void StderrLine::ShowProgress(std::string_view text) {
    if (progress_shown_) {
        Put("\r");
    } else if (words_hold_line_) {
        Put("\n");
        words_hold_line_ = false;
    }
    Put(text);
    Put("\033[K");
    progress_shown_ = true;
}

void StderrLine::StartLine() {
    EraseProgress();
    if (words_hold_line_) Put("\n");
    words_hold_line_ = false;
}

void StderrLine::EraseProgress() {
    if (progress_shown_) Put("\r\033[K");
    progress_shown_ = false;
}

}  // namespace bukvotok
