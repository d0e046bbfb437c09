#include "ResultsTransfer.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QPointer>

#include "ResultsBox.h"
#include "ResultsCodec.h"
#include "ResultsMimeData.h"
#include "ShowError.h"

namespace bukvotok {

namespace {

// On X11 Qt waits this long for each piece of another program's text, and gives up with nothing
// when one does not come: so a text that came empty after that long is one that never came.
std::chrono::milliseconds& ForeignTextWait() {
    static std::chrono::milliseconds wait{5000};
    return wait;
}

// Another program's text, as Qt hands it over.  Raises ResultsNotReceivedError when it was
// offered and did not come.
QString ReceivedText(const QMimeData& mime) {
    QElapsedTimer waited;
    waited.start();
    QString text = mime.text();
    if (text.isEmpty() && waited.elapsed() >= ForeignTextWait().count()) {
        throw ResultsNotReceivedError();
    }
    return text;
}

}  // namespace

std::chrono::milliseconds SetForeignTextWait(std::chrono::milliseconds wait) {
    std::swap(ForeignTextWait(), wait);
    return wait;
}

QMimeData* ResultsTransfer::SelectionSnapshot() const {
    BlockBytes bytes = box_.Share(box_.SelectionStart(), box_.SelectionEnd());
    return new ResultsMimeData([bytes = std::move(bytes)] { return bytes; }, box_.window());
}

bool ResultsTransfer::CopySelection() {
    bool copied = false;
    box_.Guarded([&] {
        QApplication::clipboard()->setMimeData(SelectionSnapshot());
        copied = true;
    });
    return copied;
}

void ResultsTransfer::Copy() {
    if (box_.HasSelection()) CopySelection();
}

// A selection that could not be copied stays in the box.
void ResultsTransfer::Cut() {
    if (box_.HasSelection() && CopySelection()) box_.DeleteSelection();
}

bool ResultsTransfer::CanPaste() const {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    return mime != nullptr && mime->hasText();
}

void ResultsTransfer::Paste() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime == nullptr || !mime->hasText()) return;
    box_.Guarded([&] { Put(*mime, box_.SelectionStart(), box_.SelectionEnd(), false); });
}

void ResultsTransfer::PublishSelection() noexcept {
    try {
        Publish();
    } catch (...) {
        // No memory for the offer: a middle click elsewhere pastes what was offered before.
    }
}

void ResultsTransfer::Publish() {
    QClipboard* clipboard = QApplication::clipboard();
    if (!box_.HasSelection() || !clipboard->supportsSelection()) return;
    // Once the box's offer is the selection, it gives whatever is selected when asked: a new
    // highlight needs no new offer, only one that another window or program took over does.
    if (published_ != nullptr && clipboard->ownsSelection() &&
        clipboard->mimeData(QClipboard::Selection) == published_) {
        return;
    }
    QPointer<const ResultsBox> box(&box_);
    const auto selected = [box]() -> BlockBytes {
        const ResultsBox* shown = box.data();
        if (shown == nullptr) return BlockBytes();
        return shown->Share(shown->SelectionStart(), shown->SelectionEnd());
    };
    auto* offer = new ResultsMimeData(selected, box_.window());
    clipboard->setMimeData(offer, QClipboard::Selection);
    published_ = offer;
}

void ResultsTransfer::PasteSelection(std::size_t at) {
    const QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection()) return;
    const QMimeData* mime = clipboard->mimeData(QClipboard::Selection);
    box_.Guarded([&] {
        // The selection stays as it is until the paste is in: one refused leaves it, and what
        // it offers, as they were.
        if (const auto* own = qobject_cast<const ResultsMimeData*>(mime)) {
            const BlockBytes bytes = own->Bytes();
            if (!bytes.empty()) box_.PutBytes(at, at, bytes, false);
        } else if (mime != nullptr && mime->hasText()) {
            PutText(ReceivedText(*mime), at, at, false);
        }
    });
}

void ResultsTransfer::Put(const QMimeData& mime, std::size_t from, std::size_t to, bool select) {
    if (const auto* own = qobject_cast<const ResultsMimeData*>(&mime)) {
        box_.PutBytes(from, to, own->Bytes(), select);
    } else {
        PutText(ReceivedText(mime), from, to, select);
    }
}

void ResultsTransfer::PutText(QStringView text, std::size_t from, std::size_t to, bool select) {
    if (text.isEmpty()) return;
    // The text's length is the bound, without a look at the text: a unit makes a byte, but for
    // a line break, which makes two (the model refuses those that pass the limit), and a
    // surrogate pair, which makes one '?' (a text of those that would only just fit is
    // refused).
    if (static_cast<std::size_t>(text.size()) > box_.RoomFor(from, to)) {
        throw ResultsFullError(box_.Capacity(), false, TextModel::Refusal::kText);
    }
    box_.PutBytes(from, to, EncodeInsertedToBlocks(text), select);
}

void ResultsTransfer::DragSelection() {
    const std::size_t from = box_.SelectionStart();
    const std::size_t to = box_.SelectionEnd();
    QMimeData* snapshot = nullptr;
    box_.Guarded([&] { snapshot = SelectionSnapshot(); });
    if (snapshot == nullptr) return;
    auto* drag = new QDrag(&box_);
    drag->setMimeData(snapshot);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // Moved elsewhere: the text goes.  A move within the box was done by its drop.
    if (action == Qt::MoveAction && drag->target() != box_.viewport() && drag->target() != &box_) {
        box_.SetSelection(from, to);
        box_.DeleteSelection();
    }
}

void ResultsTransfer::DragEnter(QDragEnterEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    drop_offset_ = box_.OffsetAt(event->position().toPoint());
    box_.viewport()->update();
}

void ResultsTransfer::DragMove(QDragMoveEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    const std::size_t offset = box_.OffsetAt(event->position().toPoint());
    // Onto its own selection a drag changes nothing.
    if (event->source() == &box_ && offset >= box_.SelectionStart() &&
        offset <= box_.SelectionEnd()) {
        event->ignore();
    } else {
        event->acceptProposedAction();
    }
    drop_offset_ = offset;
    box_.viewport()->update();
}

void ResultsTransfer::DragLeave() {
    drop_offset_ = kNoOffset;
    box_.viewport()->update();
}

void ResultsTransfer::Drop(QDropEvent* event) {
    drop_offset_ = kNoOffset;
    const std::size_t at = box_.OffsetAt(event->position().toPoint());
    const bool moving_own = event->source() == &box_ && event->dropAction() == Qt::MoveAction;
    if (moving_own && at >= box_.SelectionStart() && at <= box_.SelectionEnd()) {
        event->ignore();
        box_.viewport()->update();
        return;
    }
    if (moving_own) {
        box_.MoveSelectionTo(at);
    } else {
        box_.Guarded([&] { Put(*event->mimeData(), at, at, true); });
    }
    event->acceptProposedAction();
}

}  // namespace bukvotok
