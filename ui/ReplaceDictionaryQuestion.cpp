#include "ReplaceDictionaryQuestion.h"

namespace bukvotok {

bool AskToReplaceDictionary(const QString& path) {
    return AskQuestion(
        QStringLiteral("Файл «%1» — загруженный словарь. Записать найденное вместо словаря?")
            .arg(path));
}

}  // namespace bukvotok
