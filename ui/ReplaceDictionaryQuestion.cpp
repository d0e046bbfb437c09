#include "ReplaceDictionaryQuestion.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ApplicationTitle.h"

namespace bukvotok {

namespace {

QuestionBoxReplacement& Replacement() {
    static QuestionBoxReplacement replacement;
    return replacement;
}

}  // namespace

bool AskToReplaceDictionary(const QString& path) {
    const QString title = ApplicationTitle();
    const QString text = QStringLiteral(
                             "Файл «%1» — загруженный словарь. Записать найденное "
                             "вместо словаря?")
                             .arg(path);
    if (Replacement()) return Replacement()(title, text);
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    // In Russian whether or not Qt's translations are installed.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QuestionBoxReplacement ReplaceQuestionBox(QuestionBoxReplacement replacement) {
    std::swap(Replacement(), replacement);
    return replacement;
}

}  // namespace bukvotok
