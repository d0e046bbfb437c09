// The main window as assistive technology sees it: every control and label named by what it
// shows, all of them reachable from the window's accessible tree, and the Tab key moving the
// accessible focus through the controls in the layout's order.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QTest>
#include <memory>

#include "Unit1.h"

namespace {

QAccessibleInterface* Accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString Name(QAccessibleInterface* accessible) {
    return accessible ? accessible->text(QAccessible::Name) : QStringLiteral("<none>");
}

// Every object that the accessible tree below `root` exposes.
void CollectExposed(QAccessibleInterface* root, QObjectList& exposed) {
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (!child) continue;
        if (child->object()) exposed.append(child->object());
        CollectExposed(child, exposed);
    }
}

}  // namespace

class tst_Accessibility : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsAreNamedByWhatTheyShow_data();
    void controlsAreNamedByWhatTheyShow();
    void everyLabelIsReadByItsText();
    void tabVisitsTheControlsInLayoutOrder();
    void tabScrollsASmallWindowToTheFocusedControl();

private:
    QWidget* Child(const QString& name) { return form_->findChild<QWidget*>(name); }
    // The control that has the accessible focus, as the window's interface reports it.
    QString FocusedName() {
        QAccessibleInterface* focused = Accessible(form_.get())->focusChild();
        if (focused && !focused->state().focused) return QStringLiteral("<not focused>");
        return Name(focused);
    }

    std::unique_ptr<TForm1> form_;
};

void tst_Accessibility::init() {
    form_ = std::make_unique<TForm1>();
    form_->show();
    QApplication::setActiveWindow(form_.get());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void tst_Accessibility::cleanup() { form_.reset(); }

void tst_Accessibility::controlsAreNamedByWhatTheyShow_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("load") << "Button2" << QAccessible::Button << "Загрузить словарь";
    QTest::newRow("search") << "Button4" << QAccessible::Button << "Найти совпадения";
    QTest::newRow("results") << "Memo1" << QAccessible::EditableText << "Найденные совпадения слов";
    QTest::newRow("save") << "Button5" << QAccessible::Button << "Сохранить найденное в файл";
    QTest::newRow("stop") << "CheckBox1" << QAccessible::CheckBox << "Остановить";
    QTest::newRow("clear") << "Button1" << QAccessible::Button << "Очистить";
}

void tst_Accessibility::controlsAreNamedByWhatTheyShow() {
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QWidget* widget = Child(control);
    QVERIFY(widget);
    QAccessibleInterface* accessible = Accessible(widget);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), role);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    QVERIFY(accessible->state().focusable);
    QVERIFY(!accessible->state().invisible);

    // A control inside the scroll area that the tree did not expose could not be found by a
    // screen reader at all.
    QAccessibleInterface* window = Accessible(form_.get());
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Буквоток"));
    QObjectList exposed;
    CollectExposed(window, exposed);
    QVERIFY(exposed.contains(widget));
}

void tst_Accessibility::everyLabelIsReadByItsText() {
    const QList<std::pair<QString, QString>> labels = {
        {"Label1", "Информация:"},
        {"Label2", "и"},
        {"Label3", "Найденные совпадения слов:"},
        {"Label4", "Label4"},
        {"Grlink1", "http://bukvotok.ru"},
        {"Grlink2", "http://forum.bukvotok.ru"},
    };
    QObjectList exposed;
    CollectExposed(Accessible(form_.get()), exposed);
    for (const auto& [object_name, text] : labels) {
        auto* label = qobject_cast<QLabel*>(Child(object_name));
        QVERIFY2(label, qPrintable(object_name));
        QAccessibleInterface* accessible = Accessible(label);
        QVERIFY2(accessible, qPrintable(object_name));
        QCOMPARE(accessible->text(QAccessible::Name), text);
        QVERIFY2(exposed.contains(label), qPrintable(object_name));
    }

    // The status line is read as it changes, not as it was first laid out.
    auto* status = qobject_cast<QLabel*>(Child(QStringLiteral("Label4")));
    status->setText(QStringLiteral("Статус: Поиск совпадений!"));
    QCOMPARE(Name(Accessible(status)), QStringLiteral("Статус: Поиск совпадений!"));
}

void tst_Accessibility::tabVisitsTheControlsInLayoutOrder() {
    const QStringList order = {
        "Загрузить словарь",          "Найти совпадения", "Найденные совпадения слов",
        "Сохранить найденное в файл", "Остановить",       "Очистить",
    };
    QCOMPARE(FocusedName(), order.front());
    // Round the window and back to the start, in both directions; the results box must pass
    // Tab on rather than take it as a character.
    for (qsizetype i = 1; i <= order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(FocusedName(), order[i % order.size()]);
    }
    for (qsizetype i = order.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(FocusedName(), order[i]);
    }
}

void tst_Accessibility::tabScrollsASmallWindowToTheFocusedControl() {
    // Smaller than its controls, the window scrolls; the scroll area itself takes no focus,
    // yet Tab must still bring each control it reaches into sight.
    form_->resize(150, 70);
    auto* scroll = qobject_cast<QScrollArea*>(Child(QStringLiteral("ScrollBox")));
    QVERIFY(scroll);
    QWidget* viewport = scroll->viewport();
    for (const char* name : {"Button4", "Memo1", "Button5", "CheckBox1", "Button1", "Button2"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* control = Child(QString::fromLatin1(name));
        QCOMPARE(QApplication::focusWidget(), control);
        const QRect shown(control->mapTo(viewport, QPoint(0, 0)), control->size());
        QVERIFY2(viewport->rect().intersects(shown), name);
    }
}

QTEST_MAIN(tst_Accessibility)
#include "tst_Accessibility.moc"
