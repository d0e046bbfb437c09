// The Qt box's clipboards and drags: what the editor puts on the clipboard, offers to a middle
// click or drags away, and what comes in, as Qt's QClipboard, QMimeData and QDrag have them.
//
// What leaves the box is never converted when it leaves: the clipboard holds a snapshot that
// shares the text's blocks (ResultsMimeData), so a copy of gigabytes returns at once and keeps
// the bytes copied whatever the text does next; the X11 selection is whatever is selected when
// another program asks.  Only another program's request makes Unicode text of it.  What comes
// in from the box itself goes back in as those shared blocks; another program's text comes in
// as Qt's UTF-16, without a copy.
#pragma once

#include <QMimeData>
#include <QPointer>
#include <chrono>
#include <optional>

#include "ResultsFace.h"

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

    // --- For the editor, through the face ---
    void PutOnClipboard(const BlockBytes& bytes);
    std::optional<IncomingText> ReadClipboard(ResultsClipboard clipboard) const;
    bool ClipboardHasText() const;
    void OfferSelection() noexcept;
    DragEnd DragSelection(const BlockBytes& bytes);

    // --- Qt's drag events, to the editor ---
    void DragEnter(QDragEnterEvent* event);
    void DragMove(QDragMoveEvent* event);
    void DragLeave();
    void Drop(QDropEvent* event);

private:
    void Publish();

    ResultsBox& box_;
    // What the box last offered as the X11 selection; the clipboard owns and deletes it.
    QPointer<const QMimeData> published_;
};

}  // namespace bukvotok
