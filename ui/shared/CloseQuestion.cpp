#include "CloseQuestion.h"

#include <string>

#include "ResultsErrors.h"
#include "WindowFace.h"
#include "WindowResults.h"

namespace bukvotok {

namespace {

bool TextUnsaved(const WindowResults& results) {
    return results.ResultsSize() > 0 && !results.Saved();
}

}  // namespace

bool ClosingLosesResults(const WindowResults& results) {
    return TextUnsaved(results) || results.Kept().Total() > 0;
}

CloseAnswer AskBeforeClosing(const WindowResults& results, WindowFace& face) {
    const TextModel::Removed kept = results.Kept();
    const std::string removed = kept.Total() == 0 ? std::string()
                                                  : MegabytesText(kept.Total()) +
                                                        " удалённого текста ещё можно вернуть (" +
                                                        KeysText(kept) + "), но он не сохранён";
    if (TextUnsaved(results)) {
        // Saving keeps the text in the box; what was removed goes with the window either way.
        const std::string question =
            (removed.empty() ? std::string() : removed + " и с закрытием окна пропадёт. ") +
            "Найденное не сохранено в файл. Сохранить его перед закрытием окна?";
        switch (face.AskYesNoCancel(question)) {
            case Answer::kYes:
                return CloseAnswer::kSaveFirst;
            case Answer::kNo:
                return CloseAnswer::kClose;
            case Answer::kCancel:
                return CloseAnswer::kKeepOpen;
        }
    }
    if (removed.empty()) return CloseAnswer::kClose;
    return face.AskQuestion(removed + ". Закрыть окно и забыть его?") ? CloseAnswer::kClose
                                                                      : CloseAnswer::kKeepOpen;
}

}  // namespace bukvotok
