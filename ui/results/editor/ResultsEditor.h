// What the results box does, written once for every toolkit: its text and the search's appends,
// the caret and the selection, keys and the mouse's gestures, edits and undo, the rule for room
// and its question, the clipboards and drags, and the view over the lines.  Each toolkit's box
// is a face (ResultsFace) that turns its events into the calls below and draws what Paint lays
// out; the editor asks it, in turn, for what only a toolkit can do.
//
// The text is kept as the Windows-1251 bytes it will be saved as, line breaks as CR LF, and only
// the lines shown are laid out, so that a byte of results costs about a byte of memory and an
// append costs a copy, however long the text has grown.  Characters the code page lacks become
// '?' as they come in, so the box shows what will be saved.
//
// It is made of parts that each own one concern: ResultsDocument the text and its edits,
// ResultsCaret the caret and the selection, ResultsView what is on screen and its layout.  Every
// entry from a face that may fail reports its own errors through the face (Guarded); those that
// raise say so.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <optional>
#include <string_view>

#include "AccessibleValue.h"
#include "ResultsCaret.h"
#include "ResultsDocument.h"
#include "ResultsErrors.h"
#include "ResultsFace.h"
#include "ResultsKeys.h"
#include "ResultsView.h"

namespace bukvotok {

enum class MouseButton { kLeft, kMiddle, kOther };

class ResultsEditor {
public:
    static constexpr int kMargin = ResultsView::kMargin;

    // Nothing of `face` is asked for until the face calls SetGeometry.
    explicit ResultsEditor(ResultsFace& face);
    ResultsEditor(const ResultsEditor&) = delete;
    ResultsEditor& operator=(const ResultsEditor&) = delete;

    // --- The text ---
    const BlockBytes& Bytes() const { return document_.Bytes(); }
    std::size_t Size() const { return document_.Size(); }
    const ResultsDocument& Document() const { return document_; }
    BlockBytes Share(std::size_t from, std::size_t to) const { return Bytes().Share(from, to); }
    // CR LF, a lone CR and a lone LF each become one line break (CR LF).  The caret goes to the
    // end, so that the words appended next are followed.  The undo history goes, and with it
    // the memory it held.  Raises ResultsFullError.
    void SetResultsText(std::string_view bytes);
    // Adds exactly these bytes at the end; while the caret is at the end with nothing selected,
    // it stays at the end, and while the end is on screen with nothing selected, the view
    // follows it, as a terminal does.  Appends are not steps of the undo history.  Raises
    // ResultsFullError, and ResultsKeptError when the user kept removed text its room needed.
    void AppendResultsText(std::string_view bytes);
    // One space, then the word.  REQUIRES: no CR or LF in the word.
    void AppendWord(std::string_view word);
    // Words, each after one space, as AppendWord of each in turn: those within PlainAppendRoom
    // go in together.  `taken` moves past each word as it goes in, so a word that raises says
    // where.
    void AppendWords(std::string_view spaced, std::size_t& taken);
    std::size_t PlainAppendRoom() const { return document_.PlainAppendRoom(); }
    // While a search runs, its words may push out only the undo steps made before it; when
    // removed text the user has not let go stands in their way, and letting it go would make
    // room, the editor asks, and "Нет" raises ResultsKeptError, which ends the search, and any
    // it runs inside, with the text as it was.  Once a search has stopped so, or with a
    // message why its words cannot go in, the searches it ran inside end quietly with
    // ResultsKeptError: one message for searches that nest.
    void BeginSearch();
    void EndSearch();
    // Empties the box as a step of the undo history.
    void Clear();

    std::uint64_t MarkSaved() { return document_.MarkSaved(); }
    void ForgetSave(std::uint64_t save) { document_.ForgetSave(save); }
    bool Saved() const { return document_.Saved(); }
    TextModel::Removed Kept() const { return document_.Kept(); }
    std::uint64_t Changes() const { return document_.Changes(); }
    std::size_t Capacity() const { return document_.Capacity(); }
    void SetCapacity(std::size_t bytes) { document_.SetCapacity(bytes); }
    // The smaller of 2 GiB and an eighth of the machine's memory, so that a search left running
    // for days ends with an error box and its results intact instead of with the system
    // killing the program.
    static std::size_t DefaultCapacity();
    std::size_t RoomFor(std::size_t from, std::size_t to) const {
        return document_.RoomFor(from, to);
    }
    std::size_t HistoryBytes() const { return document_.HistoryBytes(); }
    // The memory of the text and of the lines kept of it.
    std::size_t MemoryBytes() const;

    // --- The caret and the selection, as byte offsets ---
    std::size_t CaretOffset() const { return caret_.Offset(); }
    std::size_t AnchorOffset() const { return caret_.Anchor(); }
    bool HasSelection() const { return caret_.HasSelection(); }
    std::size_t SelectionStart() const { return caret_.SelectionStart(); }
    std::size_t SelectionEnd() const { return caret_.SelectionEnd(); }
    // Any offsets: past the end is the end, between CR and LF before the CR.
    void SetSelection(std::size_t anchor, std::size_t caret);

    // --- The view ---
    // The area the text is drawn in, with the face's font as it is now.
    void SetGeometry(int width, int height);
    std::size_t TopOffset() { return view_.TopLine().start; }
    int VisibleLines() const { return view_.VisibleLines(); }
    bool ShowsEnd();
    PixelRect CaretRect(std::size_t offset) { return view_.CaretRect(offset); }
    std::size_t OffsetAt(PixelPoint point) { return view_.OffsetAt(point); }
    ViewLines& Lines() { return view_.Lines(); }
    ViewLines::Line LineAt(std::size_t offset) { return view_.Lines().LineAt(offset); }
    // What assistive technology reads as the box's value (AccessibleValueSpan).
    ByteSpan ValueSpan() const { return AccessibleValueSpan(Bytes(), CaretOffset()); }
    // Draws what `area` shows: the lines, the selection, the caret while it blinks on, and
    // where a drag would drop.
    void Paint(ResultsSurface& surface, const PixelRect& area);

    // --- Commands: each reports its own errors ---
    void Copy();
    void Cut();
    void Paste();
    bool CanPaste() const { return face_.ClipboardHasText(); }
    void DeleteSelection() { ReplaceSelection({}); }
    void SelectAll();
    void Undo();
    void Redo();
    bool CanUndo() const { return document_.CanUndo(); }
    bool CanRedo() const { return document_.CanRedo(); }
    // What a drag of the selection does when dropped at `at` in the box.
    void MoveSelectionTo(std::size_t at);
    // Typed or committed text in place of the selection.
    void Type(std::u16string_view text);
    // What a paste or a drop puts in place of [from, to): one step of the history, the caret
    // after it, and it selected when `select`.  Raises ResultsFullError, with nothing changed
    // or copied, when there is no room, and ResultsOutOfMemoryError; asks first when letting
    // removed text go would make room.  Whether it went in (not when the user chose to keep it).
    bool PutBytes(std::size_t from, std::size_t to, const BlockBytes& bytes, bool select);

    // --- Events from the face ---
    // True when the key did something (moved, edited or typed).
    bool KeyDown(const KeyPress& press);
    // Whether the key is the box's own rather than a shortcut of the window.
    static bool OwnsKey(const KeyPress& press);
    // `clicks`: 1 for a press, 2 for the second of a double click.
    void MousePress(PixelPoint point, MouseButton button, int clicks, unsigned modifiers);
    void MouseMove(PixelPoint point);
    void MouseRelease(PixelPoint point);
    // In eighths of a degree, as both toolkits give it: 120 a notch, positive away from the user.
    void Wheel(int delta);
    void FocusChanged(bool focused);
    void TimerFired(ResultsTimer timer);
    // A drag over the box at `point`, of its own selection or of another program's text:
    // whether a drop there would do anything.  It shows where it would drop.
    bool DragOver(PixelPoint point, bool own);
    void DragLeave();
    // A drop at `point`: a move of the box's own selection, or the text `data` gives.  Whether
    // it was taken: not when the text did not come or could not go in.
    bool Drop(PixelPoint point, bool moving_own,
              const std::function<std::optional<IncomingText>()>& data);
    // Where a drag over the box would drop; past the text when none is over it.
    std::size_t DropOffset() const { return drop_offset_; }

    // Runs `call`, and shows what it raised through the face.
    template <typename Call>
    void Guarded(Call&& call, bool later = false) noexcept;

private:
    static constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);

    void ReportError(const char* message, bool later) noexcept { face_.ShowError(message, later); }

    // --- After the text changed ---
    void AppendAtEnd(std::string_view first, std::string_view second);
    void Appended(bool caret_at_end);
    void StartOver(std::size_t caret);
    void TextChanged();
    template <typename Edit>
    bool MadeAskingForRoom(Edit&& edit);
    bool Replace(std::size_t from, std::size_t to, std::string_view bytes,
                 ResultsDocument::EditKind kind);
    void ReplaceSelection(std::string_view bytes,
                          ResultsDocument::EditKind kind = ResultsDocument::EditKind::kOther);
    void Landed(std::size_t at, std::size_t size, bool select);
    void PutBack(std::optional<ResultsDocument::Span> span);
    void Run(EditCommand command);
    void EraseTo(std::size_t offset);

    // --- The clipboards and drags ---
    bool CopySelection();
    bool Put(const IncomingText& data, std::size_t from, std::size_t to, bool select);
    bool PutText(std::u16string_view text, std::size_t from, std::size_t to, bool select);
    void PasteSelection(std::size_t at);
    void DragSelection();

    // --- The caret and the view ---
    void CaretMoved();
    void SelectionChanged();
    void RestartCaretBlink();
    void ScheduleFrame();
    void Frame();
    void Autoscroll();
    void Start(ResultsTimer timer, int milliseconds);
    void StartIfIdle(ResultsTimer timer, int milliseconds);
    void Stop(ResultsTimer timer);
    bool Running(ResultsTimer timer) const { return running_[static_cast<std::size_t>(timer)]; }

    ResultsFace& face_;
    ResultsDocument document_;
    ResultsView view_{document_.Bytes()};
    ResultsCaret caret_;
    bool ended_in_lone_cr_ = false;  // the last append's CR may pair with the next's LF
    int searches_ = 0;               // running, one inside another
    bool told_ = false;  // these searches were stopped by the user's "Нет" or with a message

    std::bitset<kResultsTimers> running_;
    bool refresh_due_ = false;  // the text grew since the view last caught up
    bool value_due_ = false;    // the value may have changed since the face was last told
    ByteSpan value_span_;       // the value's place when the face was last told
    bool caret_shown_ = true;
    std::size_t drop_offset_ = kNoOffset;

    // The mouse.
    PixelPoint press_point_;
    bool selecting_ = false;
    bool drag_pending_ = false;  // a press in the selection: a drag of it, or a click into it
    int wheel_remainder_ = 0;
};

template <typename Call>
void ResultsEditor::Guarded(Call&& call, bool later) noexcept {
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
