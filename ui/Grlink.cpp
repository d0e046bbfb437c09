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

TGrlink::Opener& CurrentOpener() {
    static TGrlink::Opener opener = &TGrlink::OpenWithDesktop;
    return opener;
}

// Colours are 0x00BBGGRR to the link's behaviour.
QColor ToQColor(bukvotok::LinkColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

bukvotok::LinkColor ToLinkColor(const QColor& color) {
    return static_cast<bukvotok::LinkColor>(color.red()) |
           static_cast<bukvotok::LinkColor>(color.green()) << 8 |
           static_cast<bukvotok::LinkColor>(color.blue()) << 16;
}

}  // namespace

TGrlink::TGrlink(QWidget* parent) : QLabel(parent) {
    // Every link registers the hand again, so the number always means this image even if
    // something else took it in the meantime.
    bukvotok::CursorRegistry::Set(HandCursorIndex, HandCursor());
    setCursor(bukvotok::CursorRegistry::Get(HandCursorIndex));

    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    SetFontColor(bukvotok::kLinkColor);
    QFont link_font = font();
    link_font.setUnderline(true);
    setFont(link_font);

    link_menu_ = new QMenu(this);
    link_menu_->setObjectName(QStringLiteral("LinkMenu"));
    copy_item_ = link_menu_->addAction(tr("&Copy"));
    copy_item_->setObjectName(QStringLiteral("CopyItem"));
    connect(copy_item_, &QAction::triggered, this, [this] { behaviour_.Copy(); });

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

QColor TGrlink::ActiveColor() const { return ToQColor(behaviour_.ActiveColor()); }

void TGrlink::setActiveColor(const QColor& color) { behaviour_.SetActiveColor(ToLinkColor(color)); }

void TGrlink::mousePressEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    if (left) behaviour_.LeftPress();
    QLabel::mousePressEvent(event);
    // The label itself ignores presses; a link keeps them from reaching the widget beneath.
    if (left) event->accept();
}

void TGrlink::mouseDoubleClickEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    // Qt delivers the second press of a double click as this event: the link lights up again, but
    // the target was already opened by the first click, so this press must not lead to another.
    if (left) behaviour_.LeftDoubleClick();
    // What QWidget would do by default, minus the trip through our own mousePressEvent.
    QLabel::mousePressEvent(event);
    if (left) event->accept();
}

void TGrlink::mouseReleaseEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    if (left && !behaviour_.LeftRelease(rect().contains(event->position().toPoint()))) {
        event->accept();  // the click destroyed the link
        return;
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

QString TGrlink::Target() const { return QString::fromStdU16String(behaviour_.Target()); }

void TGrlink::Activate() { static_cast<void>(behaviour_.Activate()); }

std::u16string TGrlink::Caption() const { return text().toStdU16String(); }

bool TGrlink::RaiseClicked() {
    const QPointer<TGrlink> alive(this);
    emit clicked();
    return !alive.isNull();
}

bool TGrlink::Open(const std::u16string& target) {
    const QPointer<TGrlink> alive(this);
    // A copy, so an opener that installs another opener does not destroy itself mid-call.
    const Opener open = CurrentOpener();
    open(QString::fromStdU16String(target));
    return !alive.isNull();
}

void TGrlink::PutOnClipboard(const std::u16string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
}

bukvotok::LinkColor TGrlink::FontColor() const {
    return ToLinkColor(palette().color(QPalette::Active, QPalette::WindowText));
}

void TGrlink::SetFontColor(bukvotok::LinkColor color) {
    const QColor shown = ToQColor(color);
    QPalette link_palette = palette();
    // The disabled colours stay the style's, so a disabled link still looks disabled.
    link_palette.setColor(QPalette::Active, QPalette::WindowText, shown);
    link_palette.setColor(QPalette::Inactive, QPalette::WindowText, shown);
    setPalette(link_palette);
}
