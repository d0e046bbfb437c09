#include "Grlink.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QStringView>
#include <utility>

#include "CursorRegistry.h"
#include "GrlinkAccessible.h"

// The resource lives in a static library, where nothing else would pull its registration into the
// program.  Q_INIT_RESOURCE declares a global function, hence a function outside any namespace.
static void InitGrlinkResources() { Q_INIT_RESOURCE(grlink); }

namespace {

constexpr int kHandHotSpotX = 5;  // tip of the raised finger
constexpr int kHandHotSpotY = 0;

QCursor HandCursor() {
    static const bool resources_ready = (InitGrlinkResources(), true);
    static_cast<void>(resources_ready);
    return QCursor(QPixmap(QStringLiteral(":/HAND"), "XPM"), kHandHotSpotX, kHandHotSpotY);
}

// An address padded with control characters is as blank as one padded with spaces, which is more
// than QString::trimmed() would strip.
QStringView TrimBlank(QStringView text) {
    while (!text.isEmpty() && text.front().unicode() <= 32) text = text.sliced(1);
    while (!text.isEmpty() && text.back().unicode() <= 32) text.chop(1);
    return text;
}

TGrlink::Opener& CurrentOpener() {
    static TGrlink::Opener opener = &TGrlink::OpenWithDesktop;
    return opener;
}

}  // namespace

TGrlink::TGrlink(QWidget* parent) : QLabel(parent) {
    // Every link registers the hand again, so the number always means this image even if
    // something else took it in the meantime.
    bukvotok::CursorRegistry::Set(HandCursorIndex, HandCursor());
    setCursor(bukvotok::CursorRegistry::Get(HandCursorIndex));

    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    SetFontColor(QColor(0, 0, 255));
    QFont link_font = font();
    link_font.setUnderline(true);
    setFont(link_font);

    link_menu_ = new QMenu(this);
    link_menu_->setObjectName(QStringLiteral("LinkMenu"));
    copy_item_ = link_menu_->addAction(tr("&Copy"));
    copy_item_->setObjectName(QStringLiteral("CopyItem"));
    connect(copy_item_, &QAction::triggered, this, [this] { CopyCaption(); });

    bukvotok::GrlinkAccessible::Install();
}

TGrlink::TGrlink(const QString& text, QWidget* parent) : TGrlink(parent) { setText(text); }

TGrlink::Opener TGrlink::SetOpener(Opener opener) {
    if (!opener) opener = &TGrlink::OpenWithDesktop;
    return std::exchange(CurrentOpener(), std::move(opener));
}

void TGrlink::OpenWithDesktop(const QString& target) {
    // Whether the desktop managed is deliberately not checked: there is no one to tell.
    static_cast<void>(QProcess::startDetached(QStringLiteral("xdg-open"), {target}));
}

void TGrlink::mousePressEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    if (left) BeginPress(true);
    QLabel::mousePressEvent(event);
    // The label itself ignores presses; a link keeps them from reaching the widget beneath.
    if (left) event->accept();
}

void TGrlink::mouseDoubleClickEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    // Qt delivers the second press of a double click as this event: the link lights up again, but
    // the target was already opened by the first click, so this press must not lead to another.
    if (left) BeginPress(false);
    // What QWidget would do by default, minus the trip through our own mousePressEvent.
    QLabel::mousePressEvent(event);
    if (left) event->accept();
}

void TGrlink::mouseReleaseEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    // A release with no press of ours before it has no colour to go back to.
    if (left && pressed_) {
        pressed_ = false;
        const bool click = press_can_click_ && rect().contains(event->position().toPoint());
        // The colour goes back only after the click, so the link stays lit while the target opens.
        if (click && !Click()) {
            event->accept();
            return;
        }
        SetFontColor(saved_color_);
    }
    QLabel::mouseReleaseEvent(event);
    if (left) event->accept();
}

void TGrlink::contextMenuEvent(QContextMenuEvent* event) {
    link_menu_->popup(event->globalPos());
    event->accept();
}

void TGrlink::changeEvent(QEvent* event) {
    // A font handed over later, say family and size from a form, usually says nothing about
    // underlining and would inherit the parent's plain style; a link stays underlined unless the
    // font asks otherwise.
    if (event->type() == QEvent::FontChange &&
        (font().resolveMask() & QFont::UnderlineResolved) == 0) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
    }
    QLabel::changeEvent(event);
}

void TGrlink::BeginPress(bool can_click) {
    if (!pressed_) saved_color_ = FontColor();
    pressed_ = true;
    press_can_click_ = can_click;
    SetFontColor(active_color_);
}

QString TGrlink::Target() const {
    const QString target = TrimBlank(url_).isEmpty() ? text() : url_;
    return TrimBlank(target).isEmpty() ? QString() : target;
}

void TGrlink::Activate() { static_cast<void>(Click()); }

bool TGrlink::Click() {
    const QPointer<TGrlink> alive(this);
    emit clicked();
    if (alive.isNull()) return false;

    const QString target = Target();
    if (target.isEmpty()) return true;
    // A copy, so an opener that installs another opener does not destroy itself mid-call.
    const Opener open = CurrentOpener();
    try {
        open(target);
    } catch (...) {
        // This Qt is built without exception support, so nothing may unwind into its frames; and
        // a failed open is not the link's to report.
    }
    return !alive.isNull();
}

void TGrlink::CopyCaption() const { QGuiApplication::clipboard()->setText(text()); }

QColor TGrlink::FontColor() const {
    return palette().color(QPalette::Active, QPalette::WindowText);
}

void TGrlink::SetFontColor(const QColor& color) {
    QPalette link_palette = palette();
    // The disabled colours stay the style's, so a disabled link still looks disabled.
    link_palette.setColor(QPalette::Active, QPalette::WindowText, color);
    link_palette.setColor(QPalette::Inactive, QPalette::WindowText, color);
    setPalette(link_palette);
}
