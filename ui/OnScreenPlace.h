// The main window's place: where the layout puts it, kept whole on its screen.  A small screen,
// or a large scale factor (QT_SCALE_FACTOR=2 makes a 1280 x 1024 screen 640 x 512 for Qt), can
// leave the laid-out place partly or wholly off screen, where the user would never find the
// window.
#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>

class QWidget;

namespace bukvotok {

// Where a window's outer frame `frame` goes within `available`, the usable area of its screen:
// where it stands when it lies wholly inside; otherwise moved the least distance that brings it
// inside.  A frame wider or taller than the area keeps its left or top edge on the area's, so
// that the title bar stays in reach.
QPoint PlaceOnScreen(const QRect& frame, const QRect& available);

// Puts a top-level window at `place` (its frame's corner) or the nearest place on screen: at
// once, taking the frame as none, and again once the window manager has framed it if the frame
// turns out otherwise.  Where the user moves the window afterwards is left alone.
class OnScreenPlace : public QObject {
public:
    OnScreenPlace(QWidget& window, QPoint place);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place(const QMargins& frame);

    QWidget& window_;
    QPoint place_;
    QMargins placed_with_;
};

}  // namespace bukvotok
