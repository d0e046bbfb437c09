// What assistive technology sees of a link: a link (not a plain label) named by its caption, the
// address it opens as its value (and as its description when the caption differs), and actions
// to open it and to show its menu.  Like the mouse,
// it leaves the keyboard focus where it is: a link takes none.
#pragma once

#include <QAccessibleWidget>

class TGrlink;

namespace bukvotok {

class GrlinkAccessible : public QAccessibleWidget {
public:
    explicit GrlinkAccessible(TGrlink* link);

    // Makes Qt's accessibility ask this class for every link.
    static void Install();

    QString text(QAccessible::Text type) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action_name) override;

private:
    TGrlink* Link() const;
};

}  // namespace bukvotok
