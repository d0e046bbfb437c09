// The results box of the main window: the found words, one long line that a search appends to
// at up to millions of bytes a second for hours, and that the user may edit, copy and save.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Errors.h"
#include "TextModel.h"

class QMimeData;

namespace bukvotok {

// An append, a paste or a keystroke that would take the box past its capacity.  Nothing of it
// is taken; what the box holds stays as it was.
// `for_history`: what stands in the way is the room undo needs, not the text alone.
class ResultsFullError : public Error {
public:
    ResultsFullError(std::size_t capacity, bool during_search, bool for_history);
};

// An edit, undo or redo that the machine's memory could not serve.  It did nothing.
class ResultsOutOfMemoryError : public Error {
public:
    ResultsOutOfMemoryError();
};

// The box keeps its text as the Windows-1251 bytes it will be saved as, line breaks as CR LF,
// and lays out only the lines on screen, so that a byte of results costs about a byte of memory
// and an append costs a copy, however long the text has grown.  It edits like a plain text box:
// typing, Enter (CR LF), selection by mouse and keyboard, cut, copy, paste, drag and drop,
// the X11 selection, undo and redo, and a context menu.  Characters the code page lacks become
// '?' as they come in, so the box shows what will be saved.
class ResultsBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Between the frame and the text, as in Qt's own text boxes.
    static constexpr int kMargin = 4;

    explicit ResultsBox(QWidget* parent = nullptr);
    ~ResultsBox() override;

    std::string ResultsText() const { return Text().Copy(); }
    std::size_t ResultsSize() const { return Text().Size(); }
    std::string ResultsText(std::size_t from, std::size_t to) const {
        return Text().Copy(from, to);
    }
    // The text in pieces of about a megabyte, in order, as it is kept: to be written out without
    // a copy of gigabytes.  Valid until the text next changes.
    std::vector<std::string_view> ResultsPieces() const;

    // CR LF, a lone CR and a lone LF each become one line break (CR LF).  The caret goes to the
    // end, so that the words appended next are followed.  The undo history goes, and with it
    // the memory it held.  Raises ResultsFullError.
    void SetResultsText(std::string_view bytes);
    // Adds exactly these bytes at the end, e.g. " слово"; they are in ResultsText at once and on
    // screen with the next refresh.  While the caret is at the end with nothing selected, it
    // stays at the end.  While the end is on screen with nothing selected, the view follows it,
    // as a terminal does: scrolled away from the end it stays, scrolled back it follows again.
    // Appends are not steps of the undo history.  Raises ResultsFullError.
    void AppendResultsText(std::string_view bytes);
    // The same for a word the search found: one space, then the word, with no copy in between
    // and no look for line breaks.  REQUIRES: no CR or LF in the word (the search's words are
    // made of the letters it draws).
    void AppendWord(std::string_view word);
    // Empties the box as a step of the undo history.  Raises ResultsOutOfMemoryError.
    void Clear();
    // While a search runs, its words may push out only the undo steps made before it (see
    // TextModel).  Searches nest.
    void BeginSearch();
    void EndSearch();

    // The most bytes the box holds.  By default the smaller of 2 GiB and an eighth of the
    // machine's memory, so that a search left running for days ends with an error box and its
    // results intact instead of with the system killing the program.
    std::size_t Capacity() const { return model_.Capacity(); }
    void SetCapacity(std::size_t bytes);
    static std::size_t DefaultCapacity();

    // The caret and the other end of the selection, as byte offsets into the text.
    std::size_t CaretOffset() const { return caret_; }
    std::size_t AnchorOffset() const { return anchor_; }
    void SetSelection(std::size_t anchor, std::size_t caret);
    QString SelectedText() const;

    // The first line on screen and how many fit, for tests and assistive technology.
    std::size_t TopLine();
    std::size_t LineCount() { return Text().LineCount(); }
    int VisibleLines() const;
    // Where a text offset shows, in viewport coordinates.
    QRect CaretRect(std::size_t offset);
    std::size_t OffsetAt(QPoint viewport_point);

    std::size_t MemoryBytes() const { return Text().MemoryBytes(); }
    // What the undo history holds, counted against the capacity.
    std::size_t HistoryBytes() const { return model_.HistoryBytes(); }

    void Copy();
    void Cut();
    void Paste();
    void SelectAll();
    void Undo();
    void Redo();
    // What a drag of the selection does when dropped at `at` in the box.
    void MoveSelectionTo(std::size_t at);
    bool CanUndo() const { return model_.CanUndo(); }
    bool CanRedo() const { return model_.CanRedo(); }

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int, int) override {}

private:
    // Raises ResultsFullError, with nothing appended, when the two pieces would not fit.
    void AppendAtEnd(std::string_view first, std::string_view second);

    WrappedText& Text() { return model_.Text(); }
    const WrappedText& Text() const { return model_.Text(); }

    // Editing: every change of the text by the user goes through Replace.
    using EditKind = TextModel::EditKind;
    void Replace(std::size_t from, std::size_t to, std::string_view bytes,
                 EditKind kind = EditKind::kOther);
    void ReplaceSelection(std::string_view bytes, EditKind kind = EditKind::kOther);
    // Runs an edit of the model; raises ResultsFullError when it was refused for room and
    // ResultsOutOfMemoryError when memory ran out, in both cases with nothing changed.
    void Edit(const std::function<bool()>& edit);
    static std::optional<TextModel::Span> Swapped(
        const std::function<std::optional<TextModel::Span>()>& swap);
    void InsertText(const QString& text, EditKind kind = EditKind::kOther);
    void TextChanged();
    void PutBack(std::optional<TextModel::Span> span);
    bool HasSelection() const { return caret_ != anchor_; }
    std::size_t SelectionStart() const { return std::min(caret_, anchor_); }
    std::size_t SelectionEnd() const { return std::max(caret_, anchor_); }
    void MoveCaret(std::size_t offset, bool keep_anchor);
    bool HandleMoveKey(const QKeyEvent* event);
    bool HandleEditKey(const QKeyEvent* event);
    static bool IsRedoKey(const QKeyEvent* event);
    std::size_t NextCaret(std::size_t offset) const;
    std::size_t PreviousCaret(std::size_t offset) const;
    std::size_t NextWordStart(std::size_t offset) const;
    std::size_t PreviousWordStart(std::size_t offset) const;
    std::pair<std::size_t, std::size_t> WordAround(std::size_t offset) const;
    std::size_t VerticalTarget(std::size_t offset, long long lines);
    void PublishSelection();
    QMimeData* SelectionMimeData() const;

    // The view.
    void UpdateMetrics();
    void Refresh();
    void ScheduleRefresh();
    void ScrollToLine(std::size_t top);
    void SetTopLine(std::size_t line);
    // Lines laid out in the background after a change of width: taken in when done, and
    // waited for when the user acts on lines.
    void TakeBackgroundLines();
    void WaitForLinesBefore(const QEvent* event);
    void EnsureVisible(std::size_t offset);
    void RestartCaretBlink();
    void PaintLine(QPainter& painter, std::size_t line, float y);
    // The y of a line's top, from its distance to the top line, put within reach of the screen.
    float LineTop(std::size_t line);

    TextModel model_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    // The first line on screen, and its offset, by which it is found again when the lines come
    // in from the background with other numbers.
    std::size_t top_line_ = 0;
    std::size_t top_offset_ = 0;
    std::size_t top_numbering_ = 0;
    bool follow_end_ = true;       // the end of the text was on screen when the view last moved
    std::int64_t desired_x_ = -1;  // in layout units, kept over vertical moves for the column
    float line_height_ = 13;
    float ascent_ = 10;

    QTimer refresh_timer_;
    QTimer release_timer_;  // frees a replaced text a part at a time
    QTimer background_lines_timer_;
    QBasicTimer caret_blink_;
    bool caret_shown_ = true;
    QBasicTimer autoscroll_;
    QBasicTimer triple_click_;
    QPoint press_point_;
    bool selecting_ = false;
    bool drag_pending_ = false;
    std::size_t drop_offset_ = WrappedText::kNoLine;  // where a drag over the box would drop
    int wheel_remainder_ = 0;
    bool ended_in_lone_cr_ = false;  // the last append's CR may pair with the next's LF
};

}  // namespace bukvotok
