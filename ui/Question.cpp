#include "Question.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ApplicationTitle.h"

namespace bukvotok {

namespace {

QuestionBoxReplacement& QuestionReplacement() {
    static QuestionBoxReplacement replacement;
    return replacement;
}

}  // namespace

bool AskQuestion(const QString& text) {
    const QString title = ApplicationTitle();
    if (QuestionReplacement()) return QuestionReplacement()(title, text);
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
    std::swap(QuestionReplacement(), replacement);
    return replacement;
}

}  // namespace bukvotok
