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

ThreeWayBoxReplacement& ThreeWayReplacement() {
    static ThreeWayBoxReplacement replacement;
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

Answer AskYesNoCancel(const QString& text) {
    const QString title = ApplicationTitle();
    if (ThreeWayReplacement()) return ThreeWayReplacement()(title, text);
    QMessageBox box(QMessageBox::Warning, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Yes) return Answer::kYes;
    return answer == QMessageBox::No ? Answer::kNo : Answer::kCancel;
}

ThreeWayBoxReplacement ReplaceThreeWayBox(ThreeWayBoxReplacement replacement) {
    std::swap(ThreeWayReplacement(), replacement);
    return replacement;
}

QuestionBoxReplacement ReplaceQuestionBox(QuestionBoxReplacement replacement) {
    std::swap(QuestionReplacement(), replacement);
    return replacement;
}

}  // namespace bukvotok
