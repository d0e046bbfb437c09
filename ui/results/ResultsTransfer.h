// The results box's text on its way in and out: Ctrl+C, Ctrl+X and Ctrl+V with the clipboard,
// the X11 selection that a middle click pastes, and drag and drop.
//
// What leaves the box is never converted when it leaves: the clipboard holds a snapshot that
// shares the text's blocks (ResultsMimeData), so a copy of gigabytes returns at once and keeps
// the bytes copied whatever the text does next; the X11 selection is whatever is selected when
// another program asks.  Only another program's request makes Unicode text of it.
//
// What comes in from the box itself, through the clipboard, the selection or a drag, goes back
// in as shared blocks, with no conversion and no copy.  Text from another program is refused
// before anything is made of it when it cannot fit, and otherwise is made straight into the
// blocks the text takes, so that it costs its bytes once.
#pragma once

#include <QMimeData>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <chrono>
#include <cstddef>

#include "BlockBytes.h"

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;

namespace bukvotok {

class ResultsBox;

// How long another program's text may take before an empty one counts as one that never came:
// Qt's wait for each piece of it on X11, or what a test sets.  Returns the previous wait.
std::chrono::milliseconds SetForeignTextWait(std::chrono::milliseconds wait);

class ResultsTransfer {
public:
    explicit ResultsTransfer(ResultsBox& box) : box_(box) {}

    void Copy();
    void Cut();
    // The clipboard in place of the selection.
    void Paste();
    bool CanPaste() const;

    // Offers the selection to a middle click: whatever is selected when the click comes.
    void PublishSelection() noexcept;
    // A middle click at `at`: the X11 selection goes in there.
    void PasteSelection(std::size_t at);

    // Drags the selection away; when it was moved to another program, it goes from the box.
    void DragSelection();
    // A drag over the box, from the box itself or another program.
    void DragEnter(QDragEnterEvent* event);
    void DragMove(QDragMoveEvent* event);
    void DragLeave();
    void Drop(QDropEvent* event);
    // Where a drag over the box would drop; past the text when none is over it.
    std::size_t DropOffset() const { return drop_offset_; }
    // The text changed under a drag: the place it pointed at may be gone.
    void ForgetDropOffset() { drop_offset_ = kNoOffset; }

private:
    static constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);

    void Publish();
    // Puts what `mime` holds in place of [from, to), selected when `select` (a drop).  Raises
    // ResultsFullError before anything is converted or copied when it cannot fit.
    void Put(const QMimeData& mime, std::size_t from, std::size_t to, bool select);
    void PutText(QStringView text, std::size_t from, std::size_t to, bool select);
    // A snapshot of what is selected now.
    QMimeData* SelectionSnapshot() const;
    // Reports what went wrong, and whether the clipboard has the selection.
    bool CopySelection();

    ResultsBox& box_;
    std::size_t drop_offset_ = kNoOffset;
    // What the box last offered as the X11 selection; the clipboard owns and deletes it.
    QPointer<const QMimeData> published_;
};

}  // namespace bukvotok
