#include "ResultsBox.h"

#include <QAbstractTextDocumentLayout>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "ResultsChunks.h"
#include "ResultsCodec.h"

namespace bukvotok {

namespace {

// Long enough that a block holds a screenful of words at usual sizes, short enough that laying
// one out again costs a small part of a frame.
constexpr qsizetype kChunkLength = 1000;

// One screen refresh at 60 Hz: the words appended in between are shown together.
constexpr int kFlushIntervalMs = 16;

// Calls `piece` for each run of `raw`, the document text from position `from` on, between two
// soft breaks.
template <typename Piece>
void ForEachPiece(QStringView raw, int from, const SoftBreaks& soft_breaks, Piece piece) {
    qsizetype start = 0;
    for (const int position : soft_breaks.Within(from, from + static_cast<int>(raw.size()))) {
        const qsizetype at = position - from;
        // A position that is not a separator would be a bookkeeping slip; never drop text for it.
        if (raw[at] != QChar::ParagraphSeparator) continue;
        piece(raw.sliced(start, at - start));
        start = at + 1;
    }
    piece(raw.sliced(start));
}

bool IsBackspace(const QKeyEvent* event) {
    return event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier);
}

}  // namespace

ResultsBox::ResultsBox(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    setUndoRedoEnabled(false);
    flush_timer_.setSingleShot(true);
    flush_timer_.setInterval(kFlushIntervalMs);
    connect(&flush_timer_, &QTimer::timeout, this, &ResultsBox::FlushPending);
    connect(document(), &QTextDocument::contentsChange, this, &ResultsBox::OnContentsChange);
}

std::string ResultsBox::ResultsText() const {
    // The batch waiting for the next refresh is already part of the text: putting it in the
    // document a few milliseconds early changes what is shown, not what the text is.
    const_cast<ResultsBox*>(this)->FlushPending();
    const QString raw = document()->toRawText();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(raw.size()));
    ForEachPiece(raw, 0, soft_breaks_,
                 [&bytes](QStringView piece) { AppendEncodedResults(piece, bytes); });
    return bytes;
}

void ResultsBox::SetResultsText(std::string_view bytes) {
    flush_timer_.stop();
    pending_.clear();
    last_flush_ended_in_cr_ = false;
    ChunkedText chunked = CutIntoChunks(DecodeResults(bytes), kChunkLength);
    editing_ = true;
    setPlainText(chunked.text);
    editing_ = false;
    soft_breaks_.Assign(std::move(chunked.soft_breaks));
    moveCursor(QTextCursor::End);
}

void ResultsBox::AppendResultsText(std::string_view bytes) {
    if (bytes.empty()) return;
    pending_.append(bytes);
    if (!flush_timer_.isActive()) flush_timer_.start();
}

void ResultsBox::Clear() { SetResultsText({}); }

QMimeData* ResultsBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* mime = new QMimeData;
    mime->setText(LogicalText(cursor.selectionStart(), cursor.selectedText()));
    return mime;
}

void ResultsBox::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) return;
    if (!dropping_) FlushPending();  // a drop has flushed before its edit began
    const int start = textCursor().selectionStart();
    insertPlainText(NormalizeInserted(source->text()));
    if (dropping_) {
        drop_insert_position_ = start;
        drop_insert_length_ = textCursor().position() - start;
    }
    ensureCursorVisible();
}

void ResultsBox::keyPressEvent(QKeyEvent* event) {
    FlushPending();
    if (!isReadOnly() && event->matches(QKeySequence::InsertLineSeparator)) {
        // Shift+Enter would put a U+2028 inside the block; the results know one line break only.
        insertPlainText(QStringLiteral("\n"));
        ensureCursorVisible();
        event->accept();
        return;
    }
    StepOverSoftBreak(event);
    const QString typed = ReplaceUnmappable(event->text());
    if (typed == event->text()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent mapped(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                     event->nativeVirtualKey(), event->nativeModifiers(), typed,
                     event->isAutoRepeat(), static_cast<quint16>(event->count()));
    QPlainTextEdit::keyPressEvent(&mapped);
    event->setAccepted(mapped.isAccepted());
}

void ResultsBox::inputMethodEvent(QInputMethodEvent* event) {
    FlushPending();
    const QString commit = ReplaceUnmappable(event->commitString());
    if (commit == event->commitString()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent mapped(event->preeditString(), event->attributes());
    mapped.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&mapped);
    event->setAccepted(mapped.isAccepted());
}

void ResultsBox::dropEvent(QDropEvent* event) {
    FlushPending();
    // A move within the box removes the selection and inserts it elsewhere as one edit, which
    // the document reports as a single change spanning both places; read as it stands, that
    // report would make every soft break in between look newly inserted.  So the drop is
    // entered as the removal and the insertion it is made of.
    const int selection_start = textCursor().selectionStart();
    const int length_before = document()->characterCount();
    dropping_ = true;
    drop_insert_position_ = 0;
    drop_insert_length_ = 0;
    QPlainTextEdit::dropEvent(event);
    dropping_ = false;
    const int removed = length_before + drop_insert_length_ - document()->characterCount();
    if (removed > 0) soft_breaks_.Update(selection_start, removed, 0);
    if (drop_insert_length_ > 0) soft_breaks_.Update(drop_insert_position_, 0, drop_insert_length_);
    if (removed > 0 || drop_insert_length_ > 0) last_flush_ended_in_cr_ = false;
}

void ResultsBox::FlushPending() {
    flush_timer_.stop();
    if (pending_.empty()) return;
    std::string_view bytes = pending_;
    // A CR LF split between two batches is still one line break.
    if (last_flush_ended_in_cr_ && bytes.front() == '\n') bytes.remove_prefix(1);
    last_flush_ended_in_cr_ = !bytes.empty() && bytes.back() == '\r';
    const QString text = DecodeResults(bytes);
    pending_.clear();
    if (text.isEmpty()) return;

    const QTextCursor caret = textCursor();
    const bool follow = !caret.hasSelection() && caret.atEnd();
    // Text inserted right at the caret or at an end of the selection carries it along; these
    // stay put, so that the user's caret and selection can be put back exactly.
    QTextCursor anchor_keeper(document());
    anchor_keeper.setPosition(caret.anchor());
    anchor_keeper.setKeepPositionOnInsert(true);
    QTextCursor position_keeper(document());
    position_keeper.setPosition(caret.position());
    position_keeper.setKeepPositionOnInsert(true);

    InsertAtEnd(text);

    if (follow) {
        moveCursor(QTextCursor::End);
        ensureCursorVisible();
        return;
    }
    QTextCursor restored = textCursor();
    if (restored.anchor() == anchor_keeper.position() &&
        restored.position() == position_keeper.position()) {
        return;
    }
    restored.setPosition(anchor_keeper.position());
    restored.setPosition(position_keeper.position(), QTextCursor::KeepAnchor);
    const int top = verticalScrollBar()->value();
    setTextCursor(restored);
    verticalScrollBar()->setValue(top);
}

void ResultsBox::InsertAtEnd(const QString& text) {
    QTextDocument* doc = document();
    ChunkedText chunked = CutIntoChunks(text, kChunkLength, doc->lastBlock().length() - 1);
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    const int start = cursor.position();
    editing_ = true;
    cursor.insertText(chunked.text);
    for (const int soft_break : chunked.soft_breaks) soft_breaks_.Add(start + soft_break);
    CutLastBlockAtWrap();
    editing_ = false;
}

// The last block is cut at the start of its last line on screen, so that the cut falls where
// the view wraps anyway and is not seen: the chunk before it ends with a full line.
void ResultsBox::CutLastBlockAtWrap() {
    const QTextBlock last = document()->lastBlock();
    const int length = last.length() - 1;
    if (length <= kChunkLength) return;
    document()->documentLayout()->blockBoundingRect(last);  // lays the block out if need be
    const QTextLayout* layout = last.layout();
    int cut = 0;
    if (layout != nullptr && layout->lineCount() > 1) {
        cut = layout->lineAt(layout->lineCount() - 1).textStart();
    }
    if (cut <= 0) cut = static_cast<int>(ChunkEnd(last.text(), 0, length));
    if (cut <= 0 || cut >= length) return;
    InsertSoftBreak(last.position() + cut);
}

void ResultsBox::InsertSoftBreak(int position) {
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.insertBlock();
    soft_breaks_.Add(position);
}

// A soft break has two caret places, the end of one block and the start of the next, that are
// one place in the text.  A key that moves over or deletes one character would spend itself on
// crossing the break and seem to do nothing, so the caret crosses it first.
void ResultsBox::StepOverSoftBreak(const QKeyEvent* event) {
    const bool selecting = event->matches(QKeySequence::SelectNextChar) ||
                           event->matches(QKeySequence::SelectNextWord) ||
                           event->matches(QKeySequence::SelectPreviousChar) ||
                           event->matches(QKeySequence::SelectPreviousWord);
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection() && !selecting) return;
    int step = 0;
    if (event->matches(QKeySequence::MoveToNextChar) ||
        event->matches(QKeySequence::MoveToNextWord) ||
        event->matches(QKeySequence::SelectNextChar) ||
        event->matches(QKeySequence::SelectNextWord) || event->matches(QKeySequence::Delete) ||
        event->matches(QKeySequence::DeleteEndOfWord)) {
        step = 1;
    } else if (event->matches(QKeySequence::MoveToPreviousChar) ||
               event->matches(QKeySequence::MoveToPreviousWord) ||
               event->matches(QKeySequence::SelectPreviousChar) ||
               event->matches(QKeySequence::SelectPreviousWord) ||
               event->matches(QKeySequence::DeleteStartOfWord) || IsBackspace(event)) {
        step = -1;
    } else {
        return;
    }
    int position = cursor.position();
    if (step > 0) {
        while (soft_breaks_.Contains(position)) ++position;
    } else {
        while (position > 0 && soft_breaks_.Contains(position - 1)) --position;
    }
    if (position == cursor.position()) return;
    cursor.setPosition(position, selecting ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    setTextCursor(cursor);
}

QString ResultsBox::LogicalText(int from, QStringView raw) const {
    QString text;
    text.reserve(raw.size());
    ForEachPiece(raw, from, soft_breaks_, [&text](QStringView piece) { text += piece; });
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
    }
    return text;
}

void ResultsBox::OnContentsChange(int position, int removed, int added) {
    if (editing_ || dropping_) return;
    soft_breaks_.Update(position, removed, added);
    last_flush_ended_in_cr_ = false;
}

}  // namespace bukvotok
