#include "OpenFileDialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace bukvotok {

OpenFileDialog::OpenFileDialog(QWidget* parent) : QFileDialog(parent) {
    setObjectName(QStringLiteral("OpenDialog1"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::AnyFile);
    setAcceptMode(QFileDialog::AcceptOpen);
}

std::optional<QString> OpenFileDialog::AskForPath() {
    if (last_path_.isEmpty()) {
        selectFile(QString());
    } else {
        setDirectory(QFileInfo(last_path_).absolutePath());
        selectFile(QFileInfo(last_path_).fileName());
    }
    if (exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    last_path_ = QFileInfo(chosen.front()).absoluteFilePath();
    return last_path_;
}

void OpenFileDialog::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    const QWidget* active = QApplication::activeWindow();
    if (!active || active == this) active = parentWidget();
    QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect monitor = screen->geometry();
    const QRect frame = frameGeometry();
    move(monitor.left() + (monitor.width() - frame.width()) / 2,
         monitor.top() + (monitor.height() - frame.height()) / 3);
}

}  // namespace bukvotok
