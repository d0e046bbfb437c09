#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <functional>

class QAction;
class QMenu;

// A caption that looks and behaves like a web link: blue and underlined, the hand pointer, a
// different colour while the left button is held, and a click hands the address to the desktop.
class TGrlink : public QLabel {
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
    QString URL() const { return url_; }
    void setURL(const QString& url) { url_ = url; }

    // Text colour while the left button is held on the link.
    QColor ActiveColor() const { return active_color_; }
    void setActiveColor(const QColor& color) { active_color_ = color; }

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
    void BeginPress(bool can_click);
    // Returns false when a receiver of clicked() destroyed the link.
    bool Click();
    void CopyCaption() const;
    QColor FontColor() const;
    void SetFontColor(const QColor& color);

    QString url_;
    QColor active_color_{128, 0, 128};
    QColor saved_color_{Qt::black};
    bool pressed_ = false;
    bool press_can_click_ = false;
    QMenu* link_menu_ = nullptr;
    QAction* copy_item_ = nullptr;
};
