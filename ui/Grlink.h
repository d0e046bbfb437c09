#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <functional>

#include "LinkBehaviour.h"

class QAction;
class QMenu;

// A caption that looks and behaves like a web link: blue and underlined, the hand pointer, a
// different colour while the left button is held, and a click hands the address to the desktop.
// What it does is LinkBehaviour's; this is its Qt face.
class TGrlink : public QLabel, private bukvotok::LinkFace {
    Q_OBJECT
    // uic writes "set" + property name, so the setters keep that spelling.
    Q_PROPERTY(QString URL READ URL WRITE setURL)
    Q_PROPERTY(QColor ActiveColor READ ActiveColor WRITE setActiveColor)

public:
    // Number of the hand in bukvotok::CursorRegistry.
    static constexpr int HandCursorIndex = 5;

    // Receives the target of a click.  Whatever it does with it is its own business: the link
    // neither looks at the outcome nor reports a failure.
    using Opener = std::function<void(const QString& target)>;

    explicit TGrlink(QWidget* parent = nullptr);
    explicit TGrlink(const QString& text, QWidget* parent = nullptr);

    // When blank (nothing but characters 0..32) the caption itself is opened.
    QString URL() const { return QString::fromStdU16String(behaviour_.URL()); }
    void setURL(const QString& url) { behaviour_.SetURL(url.toStdU16String()); }

    // Text colour while the left button is held on the link.
    QColor ActiveColor() const;
    void setActiveColor(const QColor& color);

    // What a click opens: the URL, or the caption when the URL is blank.  Blank when there is
    // nothing to open.
    QString Target() const;
    // Does what a click does, for assistive technology: no button is involved, so the colour
    // stays.
    void Activate();

    QMenu* LinkMenu() const { return link_menu_; }
    QAction* CopyItem() const { return copy_item_; }

    // Replaces the opener every link uses and returns the one it replaced.  An empty function
    // restores the desktop opener.
    static Opener SetOpener(Opener opener);
    // Passes the target to xdg-open as a single argument, with no shell in between, so the text
    // reaches the desktop exactly as written.
    static void OpenWithDesktop(const QString& target);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // LinkFace
    std::u16string Caption() const override;
    bukvotok::LinkColor FontColor() const override;
    void SetFontColor(bukvotok::LinkColor color) override;
    bool RaiseClicked() override;
    bool Open(const std::u16string& target) override;
    void PutOnClipboard(const std::u16string& text) override;

    bukvotok::LinkBehaviour behaviour_{*this};
    QMenu* link_menu_ = nullptr;
    QAction* copy_item_ = nullptr;
};
