// The results box of the main window: the found words, one long line that a search appends to
// at up to millions of bytes a second for hours, and that the user may edit, copy and save.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "ResultsCaret.h"
#include "ResultsDocument.h"
#include "ResultsErrors.h"
#include "ResultsTransfer.h"
#include "ResultsViewport.h"
#include "ShowError.h"
#include "WindowResults.h"

namespace bukvotok {

// The box keeps its text as the Windows-1251 bytes it will be saved as, line breaks as CR LF,
// and lays out only the lines it shows, so that a byte of results costs about a byte of memory
// and an append costs a copy, however long the text has grown.  It edits like a plain text box:
// typing, Enter (CR LF), selection by mouse and keyboard, undo and redo.  Characters the code
// page lacks become '?' as they come in, so the box shows what will be saved.
//
// It is made of parts that each own one concern: ResultsDocument the text and its edits,
// ResultsCaret the caret and the selection, ResultsViewport what is on screen and its layout;
// beside them ResultsTransfer (the clipboard, the X11 selection, drag and drop),
// ResultsContextMenu and ResultsAccessible.  The box turns Qt's events into their calls, each
// through one catch point (Guarded), since no exception may unwind into Qt.
class ResultsBox : public QAbstractScrollArea, public WindowResults {
    Q_OBJECT

public:
    static constexpr int kMargin = ResultsViewport::kMargin;

    explicit ResultsBox(QWidget* parent = nullptr);
    ~ResultsBox() override;

    // --- The text ---
    std::string ResultsText() const override { return Bytes().Copy(0, Bytes().size()); }
    std::size_t ResultsSize() const override { return document_.Size(); }
    std::string ResultsText(std::size_t from, std::size_t to) const {
        return Bytes().Copy(from, to);
    }
    // The text as it is kept, to read a piece of it.  Valid until the text next changes.
    const BlockBytes& Bytes() const { return document_.Bytes(); }
    // The text in pieces of about a megabyte, in order, as it is kept: to be written out without
    // a copy of gigabytes.  Valid until the text next changes.
    std::vector<std::string_view> ResultsPieces() const override;
    // The text's [from, to), sharing its blocks: a copy that costs next to nothing and keeps its
    // bytes whatever the text does next.
    BlockBytes Share(std::size_t from, std::size_t to) const { return Bytes().Share(from, to); }

    // CR LF, a lone CR and a lone LF each become one line break (CR LF).  The caret goes to the
    // end, so that the words appended next are followed.  The undo history goes, and with it
    // the memory it held.  Raises ResultsFullError.
    void SetResultsText(std::string_view bytes) override;
    // Adds exactly these bytes at the end, e.g. " слово"; they are in ResultsText at once and on
    // screen with the next refresh.  While the caret is at the end with nothing selected, it
    // stays at the end.  While the end is on screen with nothing selected, the view follows it,
    // as a terminal does: scrolled away from the end it stays, scrolled back it follows again.
    // Appends are not steps of the undo history.  Raises ResultsFullError.
    void AppendResultsText(std::string_view bytes);
    // The same for a word the search found: one space, then the word, with no copy in between
    // and no look for line breaks.  REQUIRES: no CR or LF in the word (the search's words are
    // made of the letters it draws).
    void AppendWord(std::string_view word) override;
    // Words, each after one space (" кот мир"), as AppendWord of each in turn: those within
    // PlainAppendRoom go in together.  `taken` moves past each word as it goes in, so that a
    // word that raises says where.
    void AppendWords(std::string_view spaced, std::size_t& taken) override;
    // How many bytes appends may add before one would push out a step of the history or be
    // refused: until then each only adds its bytes.
    std::size_t PlainAppendRoom() const override { return document_.PlainAppendRoom(); }
    // Empties the box as a step of the undo history.  Reports its own errors.
    void Clear() override;
    // While a search runs, its words may push out only the undo steps made before it (see
    // TextModel); when removed text the user has not let go stands in their way, and letting it
    // go would make room, the box asks whether to forget it, and "Нет" raises ResultsKeptError,
    // which ends the search, and any search it runs inside, with the box as it was.  Once a
    // search has stopped so, or with a message why its words cannot go in, the searches it ran
    // inside end quietly with ResultsKeptError: one message for searches that nest.
    void BeginSearch() override;
    void EndSearch() override;
    // The window saved the whole text to a file: this state of the text is saved (TextModel's
    // save point), and what is removed from it may go without a question.  The save's number,
    // for ForgetSave when another text is saved over that file.
    std::uint64_t MarkSaved() override { return document_.MarkSaved(); }
    void ForgetSave(std::uint64_t save) override { document_.ForgetSave(save); }
    // Whether the text is as it was last saved.
    bool Saved() const override { return document_.Saved(); }
    // The removed text kept for the user, in no file: undo or redo brings it back.
    TextModel::Removed Kept() const override { return document_.Kept(); }
    // Counts the changes of the text, appends included.
    std::uint64_t Changes() const override { return document_.Changes(); }

    // The most bytes the box holds.  By default the smaller of 2 GiB and an eighth of the
    // machine's memory, so that a search left running for days ends with an error box and its
    // results intact instead of with the system killing the program.
    std::size_t Capacity() const override { return document_.Capacity(); }
    void SetCapacity(std::size_t bytes) override { document_.SetCapacity(bytes); }
    static std::size_t DefaultCapacity();
    // How many bytes may go in place of [from, to).
    std::size_t RoomFor(std::size_t from, std::size_t to) const {
        return document_.RoomFor(from, to);
    }

    // The memory of the text and of the lines kept of it.
    std::size_t MemoryBytes() const;
    // How many pieces the text is kept in.
    std::size_t Pieces() const { return Bytes().BlockCount(); }
    // What the undo history holds, counted against the capacity.
    std::size_t HistoryBytes() const { return document_.HistoryBytes(); }

    // --- The caret and the selection, as byte offsets into the text ---
    std::size_t CaretOffset() const { return caret_.Offset(); }
    std::size_t AnchorOffset() const { return caret_.Anchor(); }
    bool HasSelection() const { return caret_.HasSelection(); }
    std::size_t SelectionStart() const { return caret_.SelectionStart(); }
    std::size_t SelectionEnd() const { return caret_.SelectionEnd(); }
    // Any offsets: past the end is the end, between CR and LF before the CR.
    void SetSelection(std::size_t anchor, std::size_t caret);
    QString SelectedText() const;

    // --- The view, for tests and assistive technology ---
    // Where the first line on screen starts, and how many lines fit.
    std::size_t TopOffset() { return viewport_.TopLine().start; }
    int VisibleLines() const { return viewport_.VisibleLines(); }
    // Whether the last line is on screen.
    bool ShowsEnd();
    // Where a text offset shows, in viewport coordinates.
    QRect CaretRect(std::size_t offset) { return viewport_.CaretRect(offset); }
    std::size_t OffsetAt(QPoint viewport_point) { return viewport_.OffsetAt(viewport_point); }
    // The lines, for tests that count how many an action lays out.
    ViewLines& Lines() { return viewport_.Lines(); }

    // --- Commands: each reports its own errors ---
    void Copy() { transfer_.Copy(); }
    void Cut() { transfer_.Cut(); }
    void Paste() { transfer_.Paste(); }
    bool CanPaste() const { return transfer_.CanPaste(); }
    void DeleteSelection() { ReplaceSelection({}); }
    void SelectAll();
    void Undo();
    void Redo();
    bool CanUndo() const { return document_.CanUndo(); }
    bool CanRedo() const { return document_.CanRedo(); }
    // What a drag of the selection does when dropped at `at` in the box.
    void MoveSelectionTo(std::size_t at);

    // What a paste or a drop puts in place of [from, to): one step of the history, the caret
    // after it, and it selected when `select`.  Raises ResultsFullError, with nothing changed
    // or copied, when there is no room, and ResultsOutOfMemoryError; asks first when letting
    // removed text go would make room (MadeAskingForRoom).
    void PutBytes(std::size_t from, std::size_t to, const BlockBytes& bytes, bool select);

    // The catch point of every entry from Qt: runs `call`, and shows what it raised in the
    // error box, now, or once the event loop is back when `later` (from a paint).
    template <typename Call>
    void Guarded(Call&& call, bool later = false) noexcept;

protected:
    bool event(QEvent* event) override;
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
    void ReportError(const char* message, bool later) noexcept;

    // --- After the text changed (ResultsBox.cpp) ---
    void AppendAtEnd(std::string_view first, std::string_view second);
    // After appends: the caret follows when it was at the end, the view at the next frame.
    void Appended(bool caret_at_end);
    // A new or emptied text: the caret at `caret`, the view at its end, following it.
    void StartOver(std::size_t caret);
    void TextChanged();
    // Runs an edit of the document.  When only removed text kept for the user stands in its
    // way, asks whether to let that go, as the search does, and on "Да" runs it again.  False
    // when the user kept the text, and nothing changed.
    template <typename Edit>
    bool MadeAskingForRoom(Edit&& edit);
    bool Replace(std::size_t from, std::size_t to, std::string_view bytes,
                 ResultsDocument::EditKind kind);
    // As a command: reports its errors.
    void ReplaceSelection(std::string_view bytes,
                          ResultsDocument::EditKind kind = ResultsDocument::EditKind::kOther);
    void InsertText(const QString& text, ResultsDocument::EditKind kind);
    // The caret after `size` bytes put at `at`, them selected when `select`.
    void Landed(std::size_t at, std::size_t size, bool select);
    void PutBack(std::optional<ResultsDocument::Span> span);

    // --- The caret and the view ---
    // The caret moved, or the selection changed: on screen, blinking anew, offered to a middle
    // click.
    void CaretMoved();
    void SelectionChanged();
    void RestartCaretBlink();
    void ScheduleFrame();
    void GeometryChanged();
    // Takes in the lines laid out behind, lays out more, and follows the end: once a frame
    // while there is something to do.
    void Frame();

    // --- Keys and the mouse (ResultsBoxInput.cpp) ---
    bool HandleEditKey(const QKeyEvent& event);
    static bool IsRedoKey(const QKeyEvent& event);
    void Press(const QMouseEvent& event);
    void MouseMove(QPoint point);
    void Autoscroll();

    ResultsDocument document_;
    ResultsViewport viewport_{document_.Bytes()};
    ResultsCaret caret_;
    ResultsTransfer transfer_{*this};
    bool ended_in_lone_cr_ = false;  // the last append's CR may pair with the next's LF
    int searches_ = 0;               // running, one inside another
    bool told_ = false;  // these searches were stopped by the user's "Нет" or with a message

    QTimer frame_timer_;
    bool refresh_due_ = false;  // the text grew since the view last caught up
    QTimer release_timer_;      // frees a replaced text a part at a time
    QBasicTimer caret_blink_;
    bool caret_shown_ = true;

    // The mouse.
    QBasicTimer autoscroll_;
    QBasicTimer triple_click_;
    QPoint press_point_;
    bool selecting_ = false;
    bool drag_pending_ = false;  // a press in the selection: a drag of it, or a click into it
    int wheel_remainder_ = 0;
};

template <typename Call>
void ResultsBox::Guarded(Call&& call, bool later) noexcept {
    try {
        call();
    } catch (const std::bad_alloc&) {
        ReportError(kResultsOutOfMemory, later);
    } catch (const std::exception& error) {
        ReportError(error.what(), later);
    } catch (...) {
        ReportError("Unknown error", later);
    }
}

}  // namespace bukvotok
