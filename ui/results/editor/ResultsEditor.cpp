#include "ResultsEditor.h"

#include <algorithm>
#include <cstdlib>

#include "InsertedText.h"
#include "MemorySize.h"
#include "ResultsCaretMoves.h"

namespace bukvotok {

namespace {

// One screen refresh at 60 Hz: what changed in between is shown together, and the lines laid
// out behind are taken in.
constexpr int kFrameIntervalMs = 16;
// Appended words alone are shown at half that pace.  A search appends megabytes a second, a new
// screenful every few microseconds, which nobody reads at either pace; and each frame is time
// the search, on the same thread, does not get (a fortieth of it at 60 Hz).  What the user does
// is drawn at once, whatever the pace.
constexpr int kAppendedFrameIntervalMs = 33;
constexpr int kAutoscrollMs = 50;
constexpr int kWheelNotch = 120;

}  // namespace

ResultsEditor::ResultsEditor(ResultsFace& face) : face_(face) {
    document_.Follow(view_.Lines());
    document_.SetCapacity(DefaultCapacity());
}

std::size_t ResultsEditor::DefaultCapacity() {
    const std::uint64_t memory = PhysicalMemory();
    const std::uint64_t eighth = memory > 0 ? memory / 8 : TextModel::kMaxSize;
    return static_cast<std::size_t>(std::min<std::uint64_t>(eighth, TextModel::kMaxSize));
}

std::size_t ResultsEditor::MemoryBytes() const {
    return Bytes().MemoryBytes() + const_cast<ResultsView&>(view_).Lines().MemoryBytes();
}

// --- The text ---

void ResultsEditor::SetResultsText(std::string_view bytes) {
    document_.Assign(WithCrLfBreaks(bytes));
    StartOver(document_.Size());
    TextChanged();
}

void ResultsEditor::StartOver(std::size_t caret) {
    ended_in_lone_cr_ = false;
    // A drag over the box may point past the new text.
    drop_offset_ = kNoOffset;
    drag_pending_ = selecting_ = false;
    caret_.Select(caret, caret);
    view_.Refresh(true);
    face_.Redraw();
}

void ResultsEditor::AppendResultsText(std::string_view bytes) {
    // A CR LF split between two appends is still one line break.
    if (ended_in_lone_cr_ && !bytes.empty() && bytes.front() == '\n') bytes.remove_prefix(1);
    ended_in_lone_cr_ = false;
    if (bytes.empty()) return;
    if (bytes.find_first_of("\r\n") == std::string_view::npos) {
        AppendAtEnd(bytes, {});
        return;
    }
    AppendAtEnd(WithCrLfBreaks(bytes), {});
    ended_in_lone_cr_ = bytes.back() == '\r';
}

void ResultsEditor::AppendWord(std::string_view word) {
    AppendAtEnd(" ", word);
    ended_in_lone_cr_ = false;
}

void ResultsEditor::AppendWords(std::string_view spaced, std::size_t& taken) {
    // Up to the last word that ends within the room.
    std::size_t end = spaced.size();
    const std::size_t room = document_.PlainAppendRoom();
    if (end - taken > room) end = spaced.substr(0, taken + room + 1).rfind(' ');
    if (end != std::string_view::npos && end > taken) {
        const bool at_end = !HasSelection() && CaretOffset() == document_.Size();
        ended_in_lone_cr_ = false;
        try {
            document_.AppendWords(spaced.substr(0, end), taken);
        } catch (...) {
            Appended(at_end);
            throw;
        }
        Appended(at_end);
    }
    while (taken < spaced.size()) {
        const std::size_t next = std::min(spaced.find(' ', taken + 1), spaced.size());
        AppendWord(spaced.substr(taken + 1, next - taken - 1));
        taken = next;
    }
}

void ResultsEditor::BeginSearch() {
    if (searches_++ == 0) told_ = false;
    document_.BeginSearch();
}

void ResultsEditor::EndSearch() {
    document_.EndSearch();
    if (searches_ > 0) --searches_;
}

void ResultsEditor::AppendAtEnd(std::string_view first, std::string_view second) {
    const bool at_end = !HasSelection() && CaretOffset() == document_.Size();
    bool appended = false;
    try {
        appended = document_.Append(first, second);
    } catch (const ResultsFullError&) {
        // One message for searches that nest: the outer one ends quietly after the inner one.
        if (told_) throw ResultsKeptError();
        told_ = searches_ > 0;
        throw;
    }
    if (!appended) {
        // Only removed text the user has not let go stands in the way, and letting it go makes
        // room: asked once, it goes, or the search ends and everything stays.  The search waits
        // meanwhile, as for a save.
        if (told_) throw ResultsKeptError();
        if (!face_.Ask(SearchQuestion(document_.KeptBeforeSearch()))) {
            told_ = searches_ > 0;
            throw ResultsKeptError();
        }
        document_.ForgetKeptBeforeSearch();
        // Nothing from before the search is kept now, and that was all that stood in the way.
        if (!document_.Append(first, second)) throw ResultsKeptError();
    }
    Appended(at_end);
}

void ResultsEditor::Appended(bool caret_at_end) {
    if (caret_at_end) caret_.MoveTo(document_.Size(), false);
    // The steps the words pushed out are freed a part at a time.
    if (document_.HasReleased()) StartIfIdle(ResultsTimer::kRelease, 0);
    refresh_due_ = true;
    value_due_ = true;
    StartIfIdle(ResultsTimer::kFrame, kAppendedFrameIntervalMs);
}

template <typename Edit>
bool ResultsEditor::MadeAskingForRoom(Edit&& edit) {
    try {
        edit();
        return true;
    } catch (const ResultsKeptInTheWayError& in_the_way) {
        // Nothing runs meanwhile that changes the text: the question is modal, and a search
        // waits for it.
        if (!face_.Ask(EditQuestion(in_the_way.Kept()))) return false;
    }
    document_.ForgetKeptInTheWay();
    edit();
    return true;
}

// As a step that holds the text itself, so that it can be undone, until the room is needed.
void ResultsEditor::Clear() {
    Guarded([this] {
        if (!MadeAskingForRoom([this] { document_.Clear(); })) return;
        StartOver(0);
        TextChanged();
    });
}

void ResultsEditor::TextChanged() {
    ended_in_lone_cr_ = false;
    if (document_.HasReleased()) StartIfIdle(ResultsTimer::kRelease, 0);
    // The lines around the edit now, so that the next paint shows them as they are.
    view_.Lines().LayOutSome();
    value_due_ = true;
    ScheduleFrame();
    const TextModel::Change& change = document_.Model().LastChange();
    face_.TextChanged(change.at, change.inserted);
}

bool ResultsEditor::Replace(std::size_t from, std::size_t to, std::string_view bytes,
                            ResultsDocument::EditKind kind) {
    if (!MadeAskingForRoom([&] { document_.Replace(from, to, bytes, kind); })) return false;
    TextChanged();
    return true;
}

void ResultsEditor::ReplaceSelection(std::string_view bytes, ResultsDocument::EditKind kind) {
    Guarded([&] {
        const std::size_t from = SelectionStart();
        if (Replace(from, SelectionEnd(), bytes, kind)) Landed(from, bytes.size(), false);
    });
}

void ResultsEditor::Type(std::u16string_view text) {
    Guarded([&] { ReplaceSelection(EncodeInserted(text), ResultsDocument::EditKind::kTyping); });
}

bool ResultsEditor::PutBytes(std::size_t from, std::size_t to, const BlockBytes& bytes,
                             bool select) {
    if (!MadeAskingForRoom([&] { document_.PutShared(from, to, bytes); })) return false;
    TextChanged();
    Landed(from, bytes.size(), select);
    return true;
}

void ResultsEditor::Landed(std::size_t at, std::size_t size, bool select) {
    caret_.Select(select ? at : at + size, at + size);
    CaretMoved();
    SelectionChanged();
}

// One step that holds no bytes, however far apart the two places lie: the selection's blocks
// move to where it was dropped, and undo moves them back.
void ResultsEditor::MoveSelectionTo(std::size_t at) {
    const std::size_t from = SelectionStart();
    const std::size_t to = SelectionEnd();
    if (at >= from && at <= to) return;
    Guarded([&] {
        if (!MadeAskingForRoom([&] { document_.Move(from, to, at); })) return;
        TextChanged();
        const std::size_t lands = at < from ? at : at - (to - from);
        Landed(lands, to - from, true);
    });
}

// With nothing to undo or redo, nothing happens: no room is ever needed for either.
void ResultsEditor::Undo() {
    Guarded([this] { PutBack(document_.Undo()); });
}

void ResultsEditor::Redo() {
    Guarded([this] { PutBack(document_.Redo()); });
}

// The bytes an undo or redo put back are selected, as in the platforms' text boxes.
void ResultsEditor::PutBack(std::optional<ResultsDocument::Span> span) {
    if (!span) return;
    TextChanged();
    caret_.Select(span->from, span->to);
    CaretMoved();
    SelectionChanged();
}

void ResultsEditor::SetSelection(std::size_t anchor, std::size_t caret) {
    const auto valid = [this](std::size_t offset) {
        offset = std::min(offset, document_.Size());
        return Bytes().IsCaretOffset(offset) ? offset : offset - 1;
    };
    caret_.Select(valid(anchor), valid(caret));
    document_.EndTyping();
    CaretMoved();
    SelectionChanged();
}

void ResultsEditor::SelectAll() {
    caret_.Select(0, document_.Size());
    SelectionChanged();
    face_.Redraw();
}

bool ResultsEditor::ShowsEnd() {
    const ViewLines::Line bottom = view_.Moved(view_.TopLine(), VisibleLines() - 1);
    return !view_.Lines().LineAfter(bottom).has_value();
}

// --- Keys ---

bool ResultsEditor::OwnsKey(const KeyPress& press) {
    return std::holds_alternative<EditCommand>(ActionFor(press.key, press.modifiers)) ||
           TypesText(press);
}

bool ResultsEditor::KeyDown(const KeyPress& press) {
    bool handled = false;
    Guarded([&] {
        const KeyAction action = ActionFor(press.key, press.modifiers);
        if (const auto* move = std::get_if<CaretKey>(&action)) {
            caret_.Move(move->move, move->select, document_, view_);
            document_.EndTyping();
            CaretMoved();
            if (move->select) SelectionChanged();
        } else if (const auto* command = std::get_if<EditCommand>(&action)) {
            Run(*command);
        } else if (TypesText(press)) {
            Type(press.text);
        } else {
            return;
        }
        handled = true;
    });
    return handled;
}

void ResultsEditor::EraseTo(std::size_t offset) {
    if (!HasSelection()) caret_.Select(offset, CaretOffset());
    ReplaceSelection({});
}

void ResultsEditor::Run(EditCommand command) {
    const BlockBytes& text = Bytes();
    switch (command) {
        case EditCommand::kSelectAll:
            return SelectAll();
        case EditCommand::kCopy:
            return Copy();
        case EditCommand::kCut:
            return Cut();
        case EditCommand::kPaste:
            return Paste();
        case EditCommand::kDeleteNext:
            return EraseTo(NextCaret(text, CaretOffset()));
        case EditCommand::kDeletePrevious:
            return EraseTo(PreviousCaret(text, CaretOffset()));
        case EditCommand::kDeleteNextWord:
            return EraseTo(NextWordStart(text, CaretOffset()));
        case EditCommand::kDeletePreviousWord:
            return EraseTo(PreviousWordStart(text, CaretOffset()));
        case EditCommand::kLineBreak:
            return ReplaceSelection("\r\n");
        case EditCommand::kUndo:
            return Undo();
        case EditCommand::kRedo:
            return Redo();
    }
}

// --- The mouse ---

void ResultsEditor::MousePress(PixelPoint point, MouseButton button, int clicks,
                               unsigned modifiers) {
    Guarded([&] {
        const std::size_t offset = view_.OffsetAt(point);
        // A middle click pastes once, however fast it is repeated.
        if (button == MouseButton::kMiddle) {
            if (clicks == 1) PasteSelection(offset);
            return;
        }
        if (button != MouseButton::kLeft) return;
        if (clicks == 2) {
            const auto [from, to] = WordAround(Bytes(), offset);
            caret_.Select(from, to);
            CaretMoved();
            SelectionChanged();
            Start(ResultsTimer::kTripleClick, face_.DoubleClickMs());
            return;
        }
        if (clicks > 2 || Running(ResultsTimer::kTripleClick)) {
            // A third click selects the paragraph, up to its line break.
            caret_.Select(Bytes().ParagraphStart(offset), Bytes().ParagraphEnd(offset));
            CaretMoved();
            SelectionChanged();
            return;
        }
        press_point_ = point;
        document_.EndTyping();
        const bool shift = (modifiers & kShift) != 0;
        if (!shift && HasSelection() && offset >= SelectionStart() && offset < SelectionEnd()) {
            drag_pending_ = true;
            return;
        }
        selecting_ = true;
        caret_.MoveTo(offset, shift);
        CaretMoved();
    });
}

void ResultsEditor::MouseMove(PixelPoint point) {
    Guarded([&] {
        if (drag_pending_) {
            const int moved =
                std::abs(point.x - press_point_.x) + std::abs(point.y - press_point_.y);
            if (moved < face_.DragDistance()) return;
            drag_pending_ = false;
            DragSelection();
            return;
        }
        if (!selecting_) return;
        caret_.MoveTo(view_.OffsetAt(point), true);
        CaretMoved();
        if (point.y < 0 || point.y > view_.Height()) {
            StartIfIdle(ResultsTimer::kAutoscroll, kAutoscrollMs);
        } else {
            Stop(ResultsTimer::kAutoscroll);
        }
    });
}

void ResultsEditor::Autoscroll() {
    const PixelPoint point = face_.Pointer();
    if (point.y < 0) {
        view_.ScrollBy(-1);
    } else if (point.y > view_.Height()) {
        view_.ScrollBy(1);
    }
    caret_.MoveTo(view_.OffsetAt(point), true);
    face_.Redraw();
    face_.CaretMoved();
}

void ResultsEditor::MouseRelease(PixelPoint point) {
    Guarded([&] {
        Stop(ResultsTimer::kAutoscroll);
        if (drag_pending_) {
            drag_pending_ = false;
            caret_.MoveTo(view_.OffsetAt(point), false);
            CaretMoved();
        }
        if (selecting_) {
            selecting_ = false;
            SelectionChanged();
        }
    });
}

void ResultsEditor::Wheel(int delta) {
    Guarded([&] {
        wheel_remainder_ += delta;
        const int steps = wheel_remainder_ / kWheelNotch;
        wheel_remainder_ -= steps * kWheelNotch;
        view_.ScrollBy(-static_cast<long long>(steps) * face_.WheelScrollLines());
        face_.Redraw();
        face_.CaretMoved();  // on screen
    });
}

// --- The clipboards and drags ---

bool ResultsEditor::CopySelection() {
    bool copied = false;
    Guarded([&] {
        face_.PutOnClipboard(Share(SelectionStart(), SelectionEnd()));
        copied = true;
    });
    return copied;
}

void ResultsEditor::Copy() {
    if (HasSelection()) CopySelection();
}

// A selection that could not be copied stays in the box.
void ResultsEditor::Cut() {
    if (HasSelection() && CopySelection()) DeleteSelection();
}

void ResultsEditor::Paste() {
    Guarded([&] {
        const std::optional<IncomingText> data = face_.ReadClipboard(ResultsClipboard::kClipboard);
        if (data) Put(*data, SelectionStart(), SelectionEnd(), false);
    });
}

// The selection stays as it is until the paste is in: one refused leaves it, and what it offers,
// as they were.
void ResultsEditor::PasteSelection(std::size_t at) {
    const std::optional<IncomingText> data = face_.ReadClipboard(ResultsClipboard::kSelection);
    if (!data) return;
    if (data->own) {
        if (!data->own->empty()) PutBytes(at, at, *data->own, false);
    } else {
        PutText(data->text, at, at, false);
    }
}

bool ResultsEditor::Put(const IncomingText& data, std::size_t from, std::size_t to, bool select) {
    if (data.own) return PutBytes(from, to, *data.own, select);
    return PutText(data.text, from, to, select);
}

bool ResultsEditor::PutText(std::u16string_view text, std::size_t from, std::size_t to,
                            bool select) {
    if (text.empty()) return false;
    // The text's length is the bound, without a look at the text: a unit makes a byte, but for
    // a line break, which makes two (the model refuses those that pass the limit), and a
    // surrogate pair, which makes one '?' (a text of those that would only just fit is
    // refused).
    if (text.size() > RoomFor(from, to)) {
        throw ResultsFullError(Capacity(), false, TextModel::Refusal::kText);
    }
    return PutBytes(from, to, EncodeInsertedToBlocks(text), select);
}

void ResultsEditor::DragSelection() {
    const std::size_t from = SelectionStart();
    const std::size_t to = SelectionEnd();
    // Moved elsewhere: the text goes.  A move within the box was done by its drop.
    if (face_.DragSelection(Share(from, to)) == DragEnd::kMovedAway) {
        SetSelection(from, to);
        DeleteSelection();
    }
}

bool ResultsEditor::DragOver(PixelPoint point, bool own) {
    drop_offset_ = view_.OffsetAt(point);
    face_.Redraw();
    // Onto its own selection a drag changes nothing.
    return !(own && drop_offset_ >= SelectionStart() && drop_offset_ <= SelectionEnd());
}

void ResultsEditor::DragLeave() {
    drop_offset_ = kNoOffset;
    face_.Redraw();
}

bool ResultsEditor::Drop(PixelPoint point, bool moving_own,
                         const std::function<std::optional<IncomingText>()>& data) {
    drop_offset_ = kNoOffset;
    const std::size_t at = view_.OffsetAt(point);
    if (moving_own && at >= SelectionStart() && at <= SelectionEnd()) {
        face_.Redraw();
        return false;
    }
    if (moving_own) {
        MoveSelectionTo(at);
        return true;
    }
    // Text that did not land (none came, no room, no memory) is not taken: a program that moved
    // it here keeps it.
    bool taken = false;
    Guarded([&] {
        const std::optional<IncomingText> dropped = data();
        taken = dropped && Put(*dropped, at, at, true);
    });
    return taken;
}

// --- The caret and the view ---

void ResultsEditor::CaretMoved() {
    view_.EnsureVisible(caret_.Offset());
    RestartCaretBlink();
    face_.Redraw();
    face_.CaretMoved();
    // Within the value's stretch the caret moves without changing it.
    if (!value_due_ && ValueSpan() != value_span_) {
        value_due_ = true;
        ScheduleFrame();
    }
}

// Whatever highlights text makes it what a middle click pastes, as on any X11 desktop.
void ResultsEditor::SelectionChanged() {
    if (HasSelection()) face_.OfferSelection();
}

void ResultsEditor::RestartCaretBlink() {
    caret_shown_ = true;
    const int half = face_.CaretBlinkMs();
    if (face_.HasFocus() && half > 0) {
        Start(ResultsTimer::kCaretBlink, half);
    } else {
        Stop(ResultsTimer::kCaretBlink);
    }
}

void ResultsEditor::FocusChanged(bool focused) {
    if (focused) {
        RestartCaretBlink();
    } else {
        Stop(ResultsTimer::kCaretBlink);
    }
    face_.Redraw();
}

void ResultsEditor::ScheduleFrame() { StartIfIdle(ResultsTimer::kFrame, kFrameIntervalMs); }

void ResultsEditor::Frame() {
    ViewLines& lines = view_.Lines();
    const bool laid_out = lines.Poll();
    lines.LayOutSome();
    if (refresh_due_ || laid_out) {
        // The view follows the end while it shows the end with nothing selected.
        view_.Refresh(view_.FollowsEnd() && !HasSelection());
        face_.Redraw();
        face_.CaretMoved();  // on screen, at least
        refresh_due_ = false;
    }
    if (value_due_) {
        value_due_ = false;
        value_span_ = ValueSpan();
        face_.ValueChanged();
    }
    if (!lines.Pending()) Stop(ResultsTimer::kFrame);
}

// The lines wrap anew; the view keeps its top line's text, or the end while it follows it.
void ResultsEditor::SetGeometry(int width, int height) {
    Guarded([&] {
        view_.SetGeometry(face_.Measure(), width, height);
        view_.Refresh(view_.FollowsEnd() && !HasSelection());
        ScheduleFrame();
    });
}

void ResultsEditor::TimerFired(ResultsTimer timer) {
    Guarded([&] {
        switch (timer) {
            case ResultsTimer::kFrame:
                return Frame();
            case ResultsTimer::kCaretBlink:
                caret_shown_ = !caret_shown_;
                return face_.Redraw(view_.CaretRect(CaretOffset()));
            case ResultsTimer::kAutoscroll:
                return Autoscroll();
            case ResultsTimer::kRelease:
                if (!document_.ReleaseSome()) Stop(ResultsTimer::kRelease);
                return;
            case ResultsTimer::kTripleClick:
                return Stop(ResultsTimer::kTripleClick);
        }
    });
}

void ResultsEditor::Paint(ResultsSurface& surface, const PixelRect& area) {
    Guarded(
        [&] {
            ResultsView::Overlay overlay;
            overlay.selection_from = SelectionStart();
            overlay.selection_to = SelectionEnd();
            if (face_.HasFocus() && caret_shown_) overlay.caret = CaretOffset();
            if (drop_offset_ <= document_.Size()) overlay.drop = drop_offset_;
            view_.Paint(surface, area, overlay);
        },
        true);
}

void ResultsEditor::Start(ResultsTimer timer, int milliseconds) {
    running_.set(static_cast<std::size_t>(timer));
    face_.StartTimer(timer, milliseconds);
}

void ResultsEditor::StartIfIdle(ResultsTimer timer, int milliseconds) {
    if (!Running(timer)) Start(timer, milliseconds);
}

void ResultsEditor::Stop(ResultsTimer timer) {
    running_.reset(static_cast<std::size_t>(timer));
    face_.StopTimer(timer);
}

}  // namespace bukvotok
