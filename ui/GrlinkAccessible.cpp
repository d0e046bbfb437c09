#include "GrlinkAccessible.h"

#include <QAccessible>
#include <QMenu>

#include "Grlink.h"

namespace bukvotok {

namespace {

QAccessibleInterface* CreateFor(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String(TGrlink::staticMetaObject.className())) {
        return new GrlinkAccessible(static_cast<TGrlink*>(object));
    }
    return nullptr;
}

}  // namespace

GrlinkAccessible::GrlinkAccessible(TGrlink* link) : QAccessibleWidget(link, QAccessible::Link) {}

void GrlinkAccessible::Install() {
    static const bool installed = (QAccessible::installFactory(CreateFor), true);
    static_cast<void>(installed);
}

TGrlink* GrlinkAccessible::Link() const { return static_cast<TGrlink*>(widget()); }

QString GrlinkAccessible::text(QAccessible::Text type) const {
    const QString own = QAccessibleWidget::text(type);
    if (!own.isEmpty()) return own;
    switch (type) {
        case QAccessible::Name:
            return Link()->text();
        case QAccessible::Value:
            return Link()->Target();
        // The value does not reach AT-SPI, which takes values for numbers; a link whose caption
        // is not its address says where it leads in its description.
        case QAccessible::Description:
            return Link()->Target() == Link()->text() ? QString() : Link()->Target();
        default:
            return own;
    }
}

QStringList GrlinkAccessible::actionNames() const { return {pressAction(), showMenuAction()}; }

void GrlinkAccessible::doAction(const QString& action_name) {
    TGrlink* link = Link();
    if (action_name == pressAction()) {
        link->Activate();
    } else if (action_name == showMenuAction()) {
        link->LinkMenu()->popup(link->mapToGlobal(link->rect().center()));
    }
}

}  // namespace bukvotok
