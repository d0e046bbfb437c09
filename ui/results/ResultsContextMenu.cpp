#include "ResultsContextMenu.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>

#include "ResultsBox.h"

namespace bukvotok {

namespace {

// The texts of Qt's own text boxes, so that the menu speaks the language the rest of Qt does.
QString MenuText(const char* text, QKeySequence::StandardKey key) {
    QString shown = QCoreApplication::translate("QWidgetTextControl", text);
    const QKeySequence sequence(key);
    if (!sequence.isEmpty()) shown += u'\t' + sequence.toString(QKeySequence::NativeText);
    return shown;
}

}  // namespace

void ExecResultsContextMenu(ResultsBox& box, QPoint global_pos) {
    QMenu menu(&box);
    const bool selected = box.HasSelection();
    menu.addAction(MenuText("&Undo", QKeySequence::Undo), &box, &ResultsBox::Undo)
        ->setEnabled(box.CanUndo());
    menu.addAction(MenuText("&Redo", QKeySequence::Redo), &box, &ResultsBox::Redo)
        ->setEnabled(box.CanRedo());
    menu.addSeparator();
    menu.addAction(MenuText("Cu&t", QKeySequence::Cut), &box, &ResultsBox::Cut)
        ->setEnabled(selected);
    menu.addAction(MenuText("&Copy", QKeySequence::Copy), &box, &ResultsBox::Copy)
        ->setEnabled(selected);
    menu.addAction(MenuText("&Paste", QKeySequence::Paste), &box, &ResultsBox::Paste)
        ->setEnabled(box.CanPaste());
    menu.addAction(MenuText("Delete", QKeySequence::UnknownKey), &box, &ResultsBox::DeleteSelection)
        ->setEnabled(selected);
    menu.addSeparator();
    menu.addAction(MenuText("Select All", QKeySequence::SelectAll), &box, &ResultsBox::SelectAll)
        ->setEnabled(box.ResultsSize() > 0);
    menu.exec(global_pos);
}

}  // namespace bukvotok
