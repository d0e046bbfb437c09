#include "OpenFileDialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QTreeView>

namespace bukvotok {

namespace {

// Wide enough for the side panel's "Компьютер" and for the size, type and date columns in
// Russian beside a useful name column.
constexpr QSize kPreferredSize(860, 480);
constexpr int kSidePanelWidth = 150;
// Part of the monitor the dialog may take when the preferred size does not fit.
constexpr double kLargestShareOfMonitor = 0.9;

QLineEdit* FileNameEdit(const QFileDialog& dialog) {
    return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

bool IsReturn(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

OpenFileDialog::OpenFileDialog(QWidget* parent) : QFileDialog(parent) {
    setObjectName(QStringLiteral("OpenDialog1"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::AnyFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    // Qt keeps its dialogs' folders and history between runs; this dialog remembers only what
    // was confirmed in this run.
    setHistory({});
    if (QLineEdit* edit = FileNameEdit(*this)) edit->installEventFilter(this);
    if (auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter"))) {
        splitter->setSizes({kSidePanelWidth, kPreferredSize.width() - kSidePanelWidth});
    }
    FitColumns();
    resize(kPreferredSize);
}

std::optional<QString> OpenFileDialog::AskForPath() {
    if (last_path_.isEmpty()) {
        setDirectory(QDir::currentPath());
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

void OpenFileDialog::done(int result) {
    // The name field's completion list is a window of its own: left open, it would float where
    // the dialog was and take the user's next click.
    HideCompletions();
    QFileDialog::done(result);
}

void OpenFileDialog::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    const QWidget* active = QApplication::activeWindow();
    if (!active || active == this) active = parentWidget();
    QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect monitor = screen->geometry();
    const QSize largest = screen->availableGeometry().size() * kLargestShareOfMonitor;
    if (width() > largest.width() || height() > largest.height()) {
        resize(size().boundedTo(largest));
    }
    const QRect frame = frameGeometry();
    move(monitor.left() + (monitor.width() - frame.width()) / 2,
         monitor.top() + (monitor.height() - frame.height()) / 3);
}

// Return in the name field confirms what it holds, whatever the completion list shows and
// whether or not the "Открыть" button has caught up with the typing yet; only a completion the
// user picked in the list with the arrow keys is taken instead.
bool OpenFileDialog::eventFilter(QObject* watched, QEvent* event) {
    if (IsReturn(event) && watched == FileNameEdit(*this)) {
        const QCompleter* completer = FileNameEdit(*this)->completer();
        const QAbstractItemView* list = completer ? completer->popup() : nullptr;
        const bool picking = list && list->isVisible() && list->selectionModel() &&
                             list->selectionModel()->hasSelection();
        if (!picking) {
            HideCompletions();
            accept();
            return true;
        }
    }
    return QFileDialog::eventFilter(watched, event);
}

void OpenFileDialog::HideCompletions() {
    for (const QCompleter* completer : findChildren<QCompleter*>()) {
        if (QAbstractItemView* list = completer->popup()) list->hide();
    }
}

// The size, type and date columns fit their contents, the name takes the rest.
void OpenFileDialog::FitColumns() {
    auto* view = findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view) return;
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

}  // namespace bukvotok
