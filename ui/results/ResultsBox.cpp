#include "ResultsBox.h"

#include <unistd.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "Question.h"
#include "ResultsAccessible.h"
#include "ResultsCodec.h"
#include "ResultsContextMenu.h"

namespace bukvotok {

namespace {

// One screen refresh at 60 Hz: the words appended in between are shown together, and the lines
// laid out behind are taken in.
constexpr int kFrameIntervalMs = 16;

}  // namespace

ResultsBox::ResultsBox(QWidget* parent) : QAbstractScrollArea(parent) {
    document_.Follow(viewport_.Lines());
    document_.SetCapacity(DefaultCapacity());
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    frame_timer_.setInterval(kFrameIntervalMs);
    connect(&frame_timer_, &QTimer::timeout, this, [this] { Guarded([this] { Frame(); }); });
    connect(&release_timer_, &QTimer::timeout, this, [this] {
        if (!document_.ReleaseSome()) release_timer_.stop();
    });
    ResultsAccessible::Install();
    viewport_.SetGeometry(font(), viewport()->size());
}

ResultsBox::~ResultsBox() = default;

std::size_t ResultsBox::DefaultCapacity() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long page_size = ::sysconf(_SC_PAGE_SIZE);
    std::size_t eighth = TextModel::kMaxSize;
    if (pages > 0 && page_size > 0) {
        eighth = static_cast<std::size_t>(pages) / 8 * static_cast<std::size_t>(page_size);
    }
    return std::min(eighth, TextModel::kMaxSize);
}

void ResultsBox::ReportError(const char* message, bool later) noexcept {
    try {
        if (!later) return ShowError(message);
        // A paint cannot open a dialog: the box says so once the event loop is back.
        QTimer::singleShot(0, this, [text = std::string(message)] { ShowError(text); });
    } catch (...) {
        // Not even the message could be made: the program goes on without it.
    }
}

std::size_t ResultsBox::MemoryBytes() const {
    return Bytes().MemoryBytes() + const_cast<ResultsViewport&>(viewport_).Lines().MemoryBytes();
}

// --- The text ---

void ResultsBox::SetResultsText(std::string_view bytes) {
    document_.Assign(WithCrLfBreaks(bytes));
    StartOver(document_.Size());
    TextChanged();
}

void ResultsBox::StartOver(std::size_t caret) {
    ended_in_lone_cr_ = false;
    // A drag over the box may point past the new text.
    transfer_.ForgetDropOffset();
    drag_pending_ = selecting_ = false;
    caret_.Select(caret, caret);
    viewport_.Refresh(true);
    viewport()->update();
}

void ResultsBox::AppendResultsText(std::string_view bytes) {
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

void ResultsBox::AppendWord(std::string_view word) {
    AppendAtEnd(" ", word);
    ended_in_lone_cr_ = false;
}

void ResultsBox::AppendWords(std::string_view spaced, std::size_t& taken) {
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

void ResultsBox::BeginSearch() {
    if (searches_++ == 0) told_ = false;
    document_.BeginSearch();
}

void ResultsBox::EndSearch() {
    document_.EndSearch();
    if (searches_ > 0) --searches_;
}

void ResultsBox::AppendAtEnd(std::string_view first, std::string_view second) {
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
        if (!AskQuestion(QString::fromStdString(SearchQuestion(document_.KeptBeforeSearch())))) {
            told_ = searches_ > 0;
            throw ResultsKeptError();
        }
        document_.ForgetKeptBeforeSearch();
        // Nothing from before the search is kept now, and that was all that stood in the way.
        if (!document_.Append(first, second)) throw ResultsKeptError();
    }
    Appended(at_end);
}

void ResultsBox::Appended(bool caret_at_end) {
    if (caret_at_end) caret_.MoveTo(document_.Size(), false);
    // The steps the words pushed out are freed a part at a time.
    if (document_.HasReleased() && !release_timer_.isActive()) release_timer_.start(0);
    refresh_due_ = true;
    ScheduleFrame();
}

template <typename Edit>
bool ResultsBox::MadeAskingForRoom(Edit&& edit) {
    try {
        edit();
        return true;
    } catch (const ResultsKeptInTheWayError& in_the_way) {
        // Nothing runs meanwhile that changes the text: the question is modal, and a search
        // waits for it.
        if (!AskQuestion(QString::fromStdString(EditQuestion(in_the_way.Kept())))) return false;
    }
    document_.ForgetKeptInTheWay();
    edit();
    return true;
}

// As a step that holds the text itself, so that it can be undone, until the room is needed.
void ResultsBox::Clear() {
    Guarded([this] {
        if (!MadeAskingForRoom([this] { document_.Clear(); })) return;
        StartOver(0);
        TextChanged();
    });
}

void ResultsBox::TextChanged() {
    ended_in_lone_cr_ = false;
    if (document_.HasReleased() && !release_timer_.isActive()) release_timer_.start(0);
    // The lines around the edit now, so that the next paint shows them as they are.
    viewport_.Lines().LayOutSome();
    ScheduleFrame();
    const TextModel::Change& change = document_.Model().LastChange();
    ResultsAccessible::TextChanged(*this, change.at, change.inserted);
}

bool ResultsBox::Replace(std::size_t from, std::size_t to, std::string_view bytes,
                         ResultsDocument::EditKind kind) {
    if (!MadeAskingForRoom([&] { document_.Replace(from, to, bytes, kind); })) return false;
    TextChanged();
    return true;
}

void ResultsBox::ReplaceSelection(std::string_view bytes, ResultsDocument::EditKind kind) {
    Guarded([&] {
        const std::size_t from = SelectionStart();
        if (Replace(from, SelectionEnd(), bytes, kind)) Landed(from, bytes.size(), false);
    });
}

void ResultsBox::InsertText(const QString& text, ResultsDocument::EditKind kind) {
    Guarded([&] { ReplaceSelection(EncodeInserted(text), kind); });
}

void ResultsBox::PutBytes(std::size_t from, std::size_t to, const BlockBytes& bytes, bool select) {
    if (!MadeAskingForRoom([&] { document_.PutShared(from, to, bytes); })) return;
    TextChanged();
    Landed(from, bytes.size(), select);
}

void ResultsBox::Landed(std::size_t at, std::size_t size, bool select) {
    caret_.Select(select ? at : at + size, at + size);
    CaretMoved();
    SelectionChanged();
}

// One step that holds no bytes, however far apart the two places lie: the selection's blocks
// move to where it was dropped, and undo moves them back.
void ResultsBox::MoveSelectionTo(std::size_t at) {
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
void ResultsBox::Undo() {
    Guarded([this] { PutBack(document_.Undo()); });
}

void ResultsBox::Redo() {
    Guarded([this] { PutBack(document_.Redo()); });
}

// The bytes an undo or redo put back are selected, as in the platform's text boxes.
void ResultsBox::PutBack(std::optional<ResultsDocument::Span> span) {
    if (!span) return;
    TextChanged();
    caret_.Select(span->from, span->to);
    CaretMoved();
    SelectionChanged();
}

void ResultsBox::SetSelection(std::size_t anchor, std::size_t caret) {
    const auto valid = [this](std::size_t offset) {
        offset = std::min(offset, document_.Size());
        return Bytes().IsCaretOffset(offset) ? offset : offset - 1;
    };
    caret_.Select(valid(anchor), valid(caret));
    document_.EndTyping();
    CaretMoved();
    SelectionChanged();
}

void ResultsBox::SelectAll() {
    caret_.Select(0, document_.Size());
    SelectionChanged();
    viewport()->update();
}

std::vector<std::string_view> ResultsBox::ResultsPieces() const {
    std::vector<std::string_view> pieces;
    Bytes().ForEachPiece(0, Bytes().size(), [&pieces](std::string_view piece, std::size_t) {
        pieces.push_back(piece);
        return true;
    });
    return pieces;
}

QString ResultsBox::SelectedText() const {
    return DecodeResults(Bytes().Copy(SelectionStart(), SelectionEnd()));
}

bool ResultsBox::ShowsEnd() {
    const ViewLines::Line bottom = viewport_.Moved(viewport_.TopLine(), VisibleLines() - 1);
    return !viewport_.Lines().LineAfter(bottom).has_value();
}

// --- The caret and the view ---

void ResultsBox::CaretMoved() {
    viewport_.EnsureVisible(caret_.Offset());
    RestartCaretBlink();
    viewport()->update();
}

// Whatever highlights text makes it what a middle click pastes, as on any X11 desktop.
void ResultsBox::SelectionChanged() {
    if (HasSelection()) transfer_.PublishSelection();
}

void ResultsBox::RestartCaretBlink() {
    caret_shown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0) {
        caret_blink_.start(flash / 2, this);
    } else {
        caret_blink_.stop();
    }
}

void ResultsBox::ScheduleFrame() {
    if (!frame_timer_.isActive()) frame_timer_.start();
}

void ResultsBox::Frame() {
    ViewLines& lines = viewport_.Lines();
    const bool laid_out = lines.Poll();
    lines.LayOutSome();
    if (refresh_due_ || laid_out) {
        // The view follows the end while it shows the end with nothing selected.
        viewport_.Refresh(viewport_.FollowsEnd() && !HasSelection());
        viewport()->update();
        refresh_due_ = false;
    }
    if (!lines.Pending()) frame_timer_.stop();
}

// --- Qt's events, each through the catch point ---

bool ResultsBox::event(QEvent* event) {
    // The keys the box edits with are its own, not shortcuts of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll) ||
            key->matches(QKeySequence::Delete) || key->matches(QKeySequence::Undo) ||
            IsRedoKey(*key) ||
            (!key->text().isEmpty() && key->text().front().isPrint() &&
             !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ResultsBox::paintEvent(QPaintEvent* event) {
    Guarded(
        [&] {
            QPainter painter(viewport());
            ResultsViewport::Overlay overlay;
            overlay.selection_from = SelectionStart();
            overlay.selection_to = SelectionEnd();
            if (hasFocus() && caret_shown_) overlay.caret = CaretOffset();
            const std::size_t drop = transfer_.DropOffset();
            if (drop <= document_.Size()) overlay.drop = drop;
            viewport_.Paint(painter, event->rect(), palette(), overlay);
        },
        true);
}

void ResultsBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Guarded([this] { GeometryChanged(); });
}

void ResultsBox::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) Guarded([this] { GeometryChanged(); });
}

// The lines wrap anew; the view keeps its top line's text, or the end while it follows it.
void ResultsBox::GeometryChanged() {
    viewport_.SetGeometry(font(), viewport()->size());
    viewport_.Refresh(viewport_.FollowsEnd() && !HasSelection());
    ScheduleFrame();
}

void ResultsBox::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartCaretBlink();
    viewport()->update();
}

void ResultsBox::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    caret_blink_.stop();
    viewport()->update();
}

void ResultsBox::timerEvent(QTimerEvent* event) {
    Guarded([&] {
        if (event->timerId() == caret_blink_.timerId()) {
            caret_shown_ = !caret_shown_;
            viewport()->update(viewport_.CaretRect(CaretOffset()));
        } else if (event->timerId() == autoscroll_.timerId()) {
            Autoscroll();
        } else if (event->timerId() == triple_click_.timerId()) {
            triple_click_.stop();
        } else {
            QAbstractScrollArea::timerEvent(event);
        }
    });
}

void ResultsBox::contextMenuEvent(QContextMenuEvent* event) {
    Guarded([&] { ExecResultsContextMenu(*this, event->globalPos()); });
}

void ResultsBox::dragEnterEvent(QDragEnterEvent* event) {
    Guarded([&] { transfer_.DragEnter(event); });
}

void ResultsBox::dragMoveEvent(QDragMoveEvent* event) {
    Guarded([&] { transfer_.DragMove(event); });
}

void ResultsBox::dragLeaveEvent(QDragLeaveEvent*) {
    Guarded([&] { transfer_.DragLeave(); });
}

void ResultsBox::dropEvent(QDropEvent* event) {
    Guarded([&] { transfer_.Drop(event); });
}

}  // namespace bukvotok
