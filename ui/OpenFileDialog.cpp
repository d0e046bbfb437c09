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
#include <QWindow>

#include "ScreenPlace.h"

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
    if (QLineEdit* edit = FileNameEdit(*this)) {
        edit->installEventFilter(this);
        // What the user puts in the field: typed, or a completion picked from its list.  Qt's
        // dialog also writes there itself, as its list's selection changes.
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) { typed_ = text; });
        if (QCompleter* completer = edit->completer()) {
            // Its list is a window of its own, where keys go while it shows.  Filters run last
            // installed first: this one before the completer's own.
            completer->popup()->installEventFilter(this);
            completer->popup()->viewport()->installEventFilter(this);
            connect(
                completer, qOverload<const QString&>(&QCompleter::activated), this,
                [this] { typed_ = FileNameEdit(*this)->text(); }, Qt::QueuedConnection);
        }
    }
    // What was typed named a place in the folder left: in the folder entered (by the side
    // panel, the back button or the path box too), the field is taken as Qt leaves it.
    connect(this, &QFileDialog::directoryEntered, this, [this] { typed_.clear(); });
    // A click or key in the folder's listing hands the field back to the list: Qt writes the
    // names the user picks there into it.
    for (const char* name : {"listView", "treeView"}) {
        if (auto* view = findChild<QAbstractItemView*>(QLatin1String(name))) {
            view->installEventFilter(this);
            view->viewport()->installEventFilter(this);
        }
    }
    if (auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter"))) {
        splitter->setSizes({kSidePanelWidth, kPreferredSize.width() - kSidePanelWidth});
    }
    FitColumns();
    resize(kPreferredSize);
}

std::optional<QString> OpenFileDialog::AskForPath(const QString& offered) {
    if (offered.isEmpty()) {
        setDirectory(QDir::currentPath());
        selectFile(QString());
    } else {
        setDirectory(QFileInfo(offered).absolutePath());
        selectFile(QFileInfo(offered).fileName());
    }
    typed_ = FileNameEdit(*this) ? FileNameEdit(*this)->text() : QString();
    if (exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    return QFileInfo(chosen.front()).absoluteFilePath();
}

void OpenFileDialog::done(int result) {
    // The name field's completion list is a window of its own: left open, it would float where
    // the dialog was and take the user's next click.
    HideCompletions();
    QFileDialog::done(result);
}

void OpenFileDialog::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    // Qt makes a new native window for every opening, so the watch goes on again each time.
    if (QWindow* window = windowHandle()) window->installEventFilter(this);
    Place(GuessedFrame());
}

QScreen* OpenFileDialog::Monitor() const {
    const QWidget* active = QApplication::activeWindow();
    if (!active || active == this) active = parentWidget();
    return active ? active->screen() : QGuiApplication::primaryScreen();
}

void OpenFileDialog::Place(const QMargins& frame) {
    placed_with_ = frame;
    QScreen* screen = Monitor();
    if (!screen) return;
    const QRect monitor = screen->geometry();
    const QSize largest = screen->availableGeometry().size() * kLargestShareOfMonitor;
    const QSize client = size().boundedTo(largest);
    const QSize outer = client.grownBy(frame);
    const ScreenPoint corner =
        DialogPlace({monitor.left(), monitor.top(), monitor.width(), monitor.height()},
                    outer.width(), outer.height());
    const QPoint frame_corner(corner.x, corner.y);
    // The client area is placed, not the frame: Qt's own idea of the frame may be one from an
    // earlier opening, or none at all before the window manager has framed the window.
    setGeometry(QRect(frame_corner + QPoint(frame.left(), frame.top()), client));
}

// The frame the dialog had last time, else the main window's: the same window manager usually
// frames both alike, so the first placement is already the right one and the dialog does not
// jump once it is framed.
QMargins OpenFileDialog::GuessedFrame() const {
    if (seen_frame_) return *seen_frame_;
    const QWidget* main_window = parentWidget() ? parentWidget()->window() : nullptr;
    const QWindow* main_native = main_window ? main_window->windowHandle() : nullptr;
    if (main_native && main_native->isExposed()) return main_native->frameMargins();
    return {};
}

void OpenFileDialog::PlaceAgainIfFramedOtherwise() {
    const QWindow* window = windowHandle();
    // Until the window is on screen the window manager has not framed it, and Qt reports no frame.
    if (!window || !window->isExposed()) return;
    const QMargins frame = window->frameMargins();
    // While the frame is being rebuilt Qt can report margins that are not a frame at all.
    if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0) return;
    seen_frame_ = frame;
    if (frame != placed_with_) Place(frame);
}

// Return in the name field, or in its completion list, confirms what the field holds, whatever
// the list shows and whether or not the "Открыть" button has caught up with the typing yet.
bool OpenFileDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && watched &&
        (event->type() == QEvent::Expose || event->type() == QEvent::Move)) {
        const bool handled = QFileDialog::eventFilter(watched, event);
        PlaceAgainIfFramedOtherwise();
        return handled;
    }
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) &&
        IsListing(watched)) {
        typed_.clear();
    }
    if (IsReturn(event) && ConfirmsTypedName(watched)) {
        ConfirmTypedName();
        return true;
    }
    return QFileDialog::eventFilter(watched, event);
}

bool OpenFileDialog::IsListing(const QObject* watched) const {
    for (const char* name : {"listView", "treeView"}) {
        const auto* view = findChild<QAbstractItemView*>(QLatin1String(name));
        if (view && (watched == view || watched == view->viewport())) return true;
    }
    return false;
}

bool OpenFileDialog::ConfirmsTypedName(const QObject* watched) const {
    const QLineEdit* edit = FileNameEdit(*this);
    if (!edit) return false;
    const QCompleter* completer = edit->completer();
    const QAbstractItemView* list = completer ? completer->popup() : nullptr;
    const bool in_list = list && (watched == list || watched == list->viewport());
    if (watched != edit && !in_list) return false;
    // Only a completion the user picked in the list with the arrow keys is taken instead.
    const bool picking = list && list->isVisible() && list->selectionModel() &&
                         list->selectionModel()->hasSelection();
    return !picking;
}

// What the user put in the name field is what is confirmed.  Qt's dialog takes what its list
// has selected, when anything is, and writes the selection's names into the field; but typing a
// path selects, in the list, what each part of it names as the folders' listings come in, and
// on a busy machine a listing may come in late, leave the folder the typing passed through
// selected, and put a bare name in the field: Qt would then open the folder, or look for the
// name in the folder shown.
void OpenFileDialog::ConfirmTypedName() {
    QLineEdit* edit = FileNameEdit(*this);
    if (edit && !typed_.isEmpty() && edit->text() != typed_) edit->setText(typed_);
    const QCompleter* completer = edit ? edit->completer() : nullptr;
    const QAbstractItemView* completions = completer ? completer->popup() : nullptr;
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
        if (view != completions) view->clearSelection();
    }
    HideCompletions();
    accept();
}

void OpenFileDialog::HideCompletions() {
    for (QCompleter* completer : findChildren<QCompleter*>()) {
        if (QAbstractItemView* list = completer->popup()) list->hide();
        // A name typed in full usually matches nothing yet, and the completer completes it again
        // whenever the folder's listing comes in: after a save that creates the file, that
        // would show the list with the dialog gone.  Without a prefix there is nothing to
        // complete; the next typing sets one again.
        completer->setCompletionPrefix(QString());
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
