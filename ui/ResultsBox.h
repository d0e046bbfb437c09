// The results box of the main window: the found words, one long line that a search appends to
// at thousands of words a second and that the user may edit, copy and save.
#pragma once

#include <QPlainTextEdit>
#include <QTimer>
#include <string>
#include <string_view>

#include "SoftBreaks.h"

class QMimeData;

namespace bukvotok {

// The text is held and handed out as Windows-1251 bytes, line breaks as CR LF.
//
// A block of a QTextDocument is laid out whole on every change, which at megabytes of results
// would make each append take seconds.  So the line is kept as blocks of about a thousand
// characters joined by soft breaks (see SoftBreaks): appends touch only the short last block,
// and everything that reads the text (ResultsText, copy, cut, drag) leaves the soft breaks out.
// The inherited plain-text accessors (toPlainText and the like) do see them as line breaks;
// use the accessors below.  Undo is off: an undo could not tell which breaks it brings back
// were soft.
class ResultsBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ResultsBox(QWidget* parent = nullptr);

    // Everything appended so far is in it, shown on screen yet or not.
    std::string ResultsText() const;
    // CR LF, a lone CR and a lone LF each become one line break.  The caret goes to the end, so
    // that the words appended next are followed.
    void SetResultsText(std::string_view bytes);
    // Adds exactly these bytes at the end, e.g. " слово".  They are shown with the next screen
    // refresh; the view follows them while the caret is at the end and nothing is selected.
    void AppendResultsText(std::string_view bytes);
    void Clear();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FlushPending();
    void InsertAtEnd(const QString& text);
    void CutLastBlockAtWrap();
    void InsertSoftBreak(int position);
    void StepOverSoftBreak(const QKeyEvent* event);
    QString LogicalText(int from, QStringView raw) const;
    void OnContentsChange(int position, int removed, int added);

    SoftBreaks soft_breaks_;
    std::string pending_;  // appended but not yet in the document
    QTimer flush_timer_;
    bool last_flush_ended_in_cr_ = false;
    bool editing_ = false;   // our own edit, already entered in soft_breaks_
    bool dropping_ = false;  // a drop, entered in soft_breaks_ once it is over
    int drop_insert_position_ = 0;
    int drop_insert_length_ = 0;
};

}  // namespace bukvotok
