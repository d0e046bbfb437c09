// The results box of the main window: the found words, one long line that a search appends to
// at up to millions of bytes a second for hours, and that the user may edit, copy and save.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Errors.h"
#include "ResultsTransfer.h"
#include "TextModel.h"

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
// typing, Enter (CR LF), selection by mouse and keyboard, undo and redo; ResultsTransfer does
// the clipboard, the X11 selection and drag and drop, and ResultsContextMenu the menu.
// Characters the code page lacks become '?' as they come in, so the box shows what will be
// saved.
//
// The class is spread over files by concern: this one's .cpp (the text, its edits and the
// view), ResultsBoxKeys.cpp, ResultsBoxMouse.cpp and ResultsBoxPaint.cpp.
class ResultsBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Between the frame and the text, as in Qt's own text boxes.
    static constexpr int kMargin = 4;

    explicit ResultsBox(QWidget* parent = nullptr);
    ~ResultsBox() override;

    // --- The text ---
    std::string ResultsText() const { return Text().Copy(); }
    std::size_t ResultsSize() const { return Text().Size(); }
    std::string ResultsText(std::size_t from, std::size_t to) const {
        return Text().Copy(from, to);
    }
    // The text in pieces of about a megabyte, in order, as it is kept: to be written out without
    // a copy of gigabytes.  Valid until the text next changes.
    std::vector<std::string_view> ResultsPieces() const;
    // The text's [from, to), sharing its blocks: a copy that costs next to nothing and keeps its
    // bytes whatever the text does next.
    BlockBytes Share(std::size_t from, std::size_t to) const { return Text().Share(from, to); }

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
    // Empties the box as a step of the undo history.  Reports its own errors.
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
    // How many bytes may go in place of [from, to).
    std::size_t RoomFor(std::size_t from, std::size_t to) const;

    std::size_t MemoryBytes() const { return Text().MemoryBytes(); }
    // What the undo history holds, counted against the capacity.
    std::size_t HistoryBytes() const { return model_.HistoryBytes(); }

    // --- The caret and the selection, as byte offsets into the text ---
    std::size_t CaretOffset() const { return caret_; }
    std::size_t AnchorOffset() const { return anchor_; }
    bool HasSelection() const { return caret_ != anchor_; }
    std::size_t SelectionStart() const { return std::min(caret_, anchor_); }
    std::size_t SelectionEnd() const { return std::max(caret_, anchor_); }
    void SetSelection(std::size_t anchor, std::size_t caret);
    QString SelectedText() const;

    // --- The view, for tests and assistive technology ---
    // The first line on screen and how many fit.
    std::size_t TopLine();
    std::size_t LineCount() { return Text().LineCount(); }
    int VisibleLines() const;
    // Where a text offset shows, in viewport coordinates.
    QRect CaretRect(std::size_t offset);
    std::size_t OffsetAt(QPoint viewport_point);

    // --- Commands: each reports its own errors ---
    void Copy() { transfer_.Copy(); }
    void Cut() { transfer_.Cut(); }
    void Paste() { transfer_.Paste(); }
    bool CanPaste() const { return transfer_.CanPaste(); }
    void DeleteSelection() { ReplaceSelection({}); }
    void SelectAll();
    void Undo();
    void Redo();
    bool CanUndo() const { return model_.CanUndo(); }
    bool CanRedo() const { return model_.CanRedo(); }
    // What a drag of the selection does when dropped at `at` in the box.
    void MoveSelectionTo(std::size_t at);

    // What a paste or a drop puts in place of [from, to): one step of the history, the caret
    // after it, and it selected when `select`.  Raises ResultsFullError, with nothing changed
    // or copied, when there is no room, and ResultsOutOfMemoryError.
    void PutBytes(std::size_t from, std::size_t to, const BlockBytes& bytes, bool select);

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
    void dragEnterEvent(QDragEnterEvent* event) override { transfer_.DragEnter(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { transfer_.DragMove(event); }
    void dragLeaveEvent(QDragLeaveEvent*) override { transfer_.DragLeave(); }
    void dropEvent(QDropEvent* event) override { transfer_.Drop(event); }
    void scrollContentsBy(int, int) override {}

private:
    WrappedText& Text() { return model_.Text(); }
    const WrappedText& Text() const { return model_.Text(); }

    // --- Changes of the text (ResultsBox.cpp) ---
    // Raises ResultsFullError, with nothing appended, when the two pieces would not fit.
    void AppendAtEnd(std::string_view first, std::string_view second);
    // A new or emptied text: the caret at `caret`, the view at the top until it follows.
    void StartOver(std::size_t caret);
    // Every change of the text by the user goes through Edit, which runs an edit of the model;
    // raises ResultsFullError when it was refused for room and ResultsOutOfMemoryError when
    // memory ran out, in both cases with nothing changed.
    using EditKind = TextModel::EditKind;
    void Edit(const std::function<bool()>& edit);
    void Replace(std::size_t from, std::size_t to, std::string_view bytes,
                 EditKind kind = EditKind::kOther);
    // As a command: reports its errors.
    void ReplaceSelection(std::string_view bytes, EditKind kind = EditKind::kOther);
    void InsertText(const QString& text, EditKind kind = EditKind::kOther);
    // The caret after `size` bytes put at `at`, them selected when `select`.
    void Landed(std::size_t at, std::size_t size, bool select);
    void TextChanged();
    // A call of the model, its running out of memory raised as ResultsOutOfMemoryError.
    template <typename Call>
    static auto OrOutOfMemory(Call&& call) -> decltype(call()) {
        try {
            return call();
        } catch (const std::bad_alloc&) {
            throw ResultsOutOfMemoryError();
        }
    }
    void PutBack(std::optional<TextModel::Span> span);

    // --- The caret (ResultsBoxKeys.cpp) ---
    void MoveCaret(std::size_t offset, bool keep_anchor);
    bool HandleMoveKey(const QKeyEvent* event);
    bool HandleEditKey(const QKeyEvent* event);
    static bool IsRedoKey(const QKeyEvent* event);
    // Where End takes the caret on its line.
    std::size_t LineEndTarget(std::size_t offset);
    std::size_t VerticalTarget(std::size_t offset, long long lines);

    // --- The view (ResultsBox.cpp, ResultsBoxPaint.cpp) ---
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
    ResultsTransfer transfer_{*this};
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    std::int64_t desired_x_ = -1;    // in layout units, kept over vertical moves for the column
    bool ended_in_lone_cr_ = false;  // the last append's CR may pair with the next's LF

    // The first line on screen, and its offset, by which it is found again when the lines come
    // in from the background with other numbers.
    std::size_t top_line_ = 0;
    std::size_t top_offset_ = 0;
    std::size_t top_numbering_ = 0;
    bool follow_end_ = true;  // the end of the text was on screen when the view last moved
    float line_height_ = 13;
    float ascent_ = 10;
    QTimer refresh_timer_;
    QTimer release_timer_;  // frees a replaced text a part at a time
    QTimer background_lines_timer_;
    QBasicTimer caret_blink_;
    bool caret_shown_ = true;

    // The mouse (ResultsBoxMouse.cpp).
    QBasicTimer autoscroll_;
    QBasicTimer triple_click_;
    QPoint press_point_;
    bool selecting_ = false;
    bool drag_pending_ = false;  // a press in the selection: a drag of it, or a click into it
    int wheel_remainder_ = 0;
};

}  // namespace bukvotok
