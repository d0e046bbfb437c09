#include "ReplaceDictionaryQuestion.h"

#include "WindowTexts.h"

namespace bukvotok {

bool AskToReplaceDictionary(const QString& path) {
    return AskQuestion(QString::fromStdU16String(ReplaceDictionaryQuestion(path.toStdU16String())));
}

}  // namespace bukvotok
