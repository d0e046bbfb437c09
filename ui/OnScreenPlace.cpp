#include "OnScreenPlace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "ScreenPlace.h"

namespace bukvotok {

QPoint PlaceOnScreen(const QRect& frame, const QRect& available) {
    const ScreenPoint place = NearestPlaceInside(
        {frame.left(), frame.top(), frame.width(), frame.height()},
        {available.left(), available.top(), available.width(), available.height()});
    return {place.x, place.y};
}

OnScreenPlace::OnScreenPlace(QWidget& window, QPoint place)
    : QObject(&window), window_(window), place_(place) {
    window_.installEventFilter(this);
    Place({});
}

void OnScreenPlace::Place(const QMargins& frame) {
    placed_with_ = frame;
    // Before it is shown the window belongs to no screen yet: the screen at its place, if any.
    QScreen* screen = window_.windowHandle() ? window_.screen() : nullptr;
    if (!screen) screen = QGuiApplication::screenAt(place_);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect outer(place_, window_.size().grownBy(frame));
    window_.move(PlaceOnScreen(outer, screen->availableGeometry()));
}

bool OnScreenPlace::eventFilter(QObject* watched, QEvent* event) {
    // Qt makes the native window when the widget is first shown.
    if (watched == &window_ && event->type() == QEvent::Show && window_.windowHandle()) {
        window_.windowHandle()->removeEventFilter(this);
        window_.windowHandle()->installEventFilter(this);
    }
    QWindow* native = window_.windowHandle();
    if (watched == native && native &&
        (event->type() == QEvent::Expose || event->type() == QEvent::Move)) {
        // Until it is on screen the window manager has not framed it, and while the frame is
        // being rebuilt Qt can report margins that are not a frame at all.
        const QMargins frame = native->frameMargins();
        if (native->isExposed() && frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0 &&
            frame.bottom() >= 0 && frame != placed_with_) {
            // Once placed by its frame the window is the user's: a frame that changes later
            // (maximized, or decorations toggled) moves nothing.
            native->removeEventFilter(this);
            window_.removeEventFilter(this);
            if (window_.windowState() == Qt::WindowNoState) Place(frame);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace bukvotok
