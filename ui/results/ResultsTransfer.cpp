#include "ResultsTransfer.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QPointer>
#include <memory>

#include "ResultsBox.h"
#include "ResultsMimeData.h"

namespace bukvotok {

namespace {

// On X11 Qt waits this long for each piece of another program's text, and gives up with nothing
// when one does not come: so a text that came empty after that long is one that never came.
std::chrono::milliseconds& ForeignTextWait() {
    static std::chrono::milliseconds wait{5000};
    return wait;
}

// What `mime` holds: the box's own bytes, or another program's text as Qt hands it over.
// Raises ResultsNotReceivedError when that was offered and did not come.
IncomingText Incoming(const QMimeData& mime) {
    IncomingText incoming;
    if (const auto* own = qobject_cast<const ResultsMimeData*>(&mime)) {
        incoming.own = own->Bytes();
        return incoming;
    }
    QElapsedTimer waited;
    waited.start();
    auto text = std::make_shared<const QString>(mime.text());
    if (text->isEmpty() && waited.elapsed() >= ForeignTextWait().count()) {
        throw ResultsNotReceivedError();
    }
    incoming.text =
        std::u16string_view(QStringView(*text).utf16(), static_cast<std::size_t>(text->size()));
    incoming.keeper = std::move(text);
    return incoming;
}

}  // namespace

std::chrono::milliseconds SetForeignTextWait(std::chrono::milliseconds wait) {
    std::swap(ForeignTextWait(), wait);
    return wait;
}

void ResultsTransfer::PutOnClipboard(const BlockBytes& bytes) {
    QApplication::clipboard()->setMimeData(
        new ResultsMimeData([bytes] { return bytes; }, box_.window()));
}

std::optional<IncomingText> ResultsTransfer::ReadClipboard(ResultsClipboard clipboard) const {
    const QClipboard* system = QApplication::clipboard();
    if (clipboard == ResultsClipboard::kSelection && !system->supportsSelection()) return {};
    const QMimeData* mime = system->mimeData(
        clipboard == ResultsClipboard::kSelection ? QClipboard::Selection : QClipboard::Clipboard);
    if (mime == nullptr || !mime->hasText()) return {};
    return Incoming(*mime);
}

bool ResultsTransfer::ClipboardHasText() const {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    return mime != nullptr && mime->hasText();
}

void ResultsTransfer::OfferSelection() noexcept {
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

DragEnd ResultsTransfer::DragSelection(const BlockBytes& bytes) {
    auto* drag = new QDrag(&box_);
    drag->setMimeData(new ResultsMimeData([bytes] { return bytes; }, box_.window()));
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (action == Qt::MoveAction) {
        const bool within = drag->target() == box_.viewport() || drag->target() == &box_;
        return within ? DragEnd::kMovedWithin : DragEnd::kMovedAway;
    }
    return action == Qt::CopyAction ? DragEnd::kCopied : DragEnd::kNothing;
}

namespace {

PixelPoint PointOf(const QDropEvent& event) {
    const QPoint point = event.position().toPoint();
    return {point.x(), point.y()};
}

}  // namespace

void ResultsTransfer::DragEnter(QDragEnterEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    box_.Editor().DragOver(PointOf(*event), false);
}

void ResultsTransfer::DragMove(QDragMoveEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    if (box_.Editor().DragOver(PointOf(*event), event->source() == &box_)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ResultsTransfer::DragLeave() { box_.Editor().DragLeave(); }

void ResultsTransfer::Drop(QDropEvent* event) {
    const bool moving_own = event->source() == &box_ && event->dropAction() == Qt::MoveAction;
    const QMimeData* mime = event->mimeData();
    if (box_.Editor().Drop(PointOf(*event), moving_own,
                           [mime]() -> std::optional<IncomingText> { return Incoming(*mime); })) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

}  // namespace bukvotok
