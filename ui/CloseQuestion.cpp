#include "CloseQuestion.h"

#include <string>

#include "Question.h"
#include "ResultsBox.h"
#include "ResultsErrors.h"

namespace bukvotok {

namespace {

bool TextUnsaved(const ResultsBox& results) {
    return results.ResultsSize() > 0 && !results.Saved();
}

}  // namespace

bool ClosingLosesResults(const ResultsBox& results) {
    return TextUnsaved(results) || results.Kept().Total() > 0;
}

CloseAnswer AskBeforeClosing(const ResultsBox& results) {
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
        switch (AskYesNoCancel(QString::fromStdString(question))) {
            case Answer::kYes:
                return CloseAnswer::kSaveFirst;
            case Answer::kNo:
                return CloseAnswer::kClose;
            case Answer::kCancel:
                return CloseAnswer::kKeepOpen;
        }
    }
    if (removed.empty()) return CloseAnswer::kClose;
    return AskQuestion(QString::fromStdString(removed + ". Закрыть окно и забыть его?"))
               ? CloseAnswer::kClose
               : CloseAnswer::kKeepOpen;
}

}  // namespace bukvotok
