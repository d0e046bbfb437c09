#include "ShowError.h"

#include <QApplication>
#include <QMessageBox>
#include <string>

#include "ApplicationTitle.h"
#include "Errors.h"

namespace bukvotok {

namespace {

ErrorBoxReplacement& Replacement() {
    static ErrorBoxReplacement replacement;
    return replacement;
}

}  // namespace

void ShowError(std::string_view message) {
    const QString title = ApplicationTitle();
    const std::string shown = WithFullStop(std::string(message));
    const QString text = QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
    if (Replacement()) {
        Replacement()(title, text);
        return;
    }
    // Parented to the active window so that it opens over it, on its monitor, and gives the
    // focus back to it when it closes.
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    // A message quotes file names, and a name such as "<b>x" is no markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

ErrorBoxReplacement ReplaceErrorBox(ErrorBoxReplacement replacement) {
    std::swap(Replacement(), replacement);
    return replacement;
}

}  // namespace bukvotok
