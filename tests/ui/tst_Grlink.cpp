#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <stdexcept>

#include "CursorRegistry.h"
#include "Grlink.h"
#include "LinkTargets.h"

namespace {

const QColor kBlue(0, 0, 255);
const QColor kPurple(128, 0, 128);

QColor TextColor(const QWidget& widget) { return widget.palette().color(QPalette::WindowText); }

// Every colour the link takes on, not just the one it ends with.
class ColourLog : public QObject {
public:
    explicit ColourLog(QWidget* watched) { watched->installEventFilter(this); }
    QList<QColor> colours;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::PaletteChange) {
            colours.append(TextColor(*static_cast<QWidget*>(object)));
        }
        return false;
    }
};

}  // namespace

class TestGrlink : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void handCursorIsRegisteredAndUsed();
    void formFontKeepsUnderline_data();
    void formFontKeepsUnderline();
    void clickOpensTarget_data();
    void clickOpensTarget();
    void mouseSequence_data();
    void mouseSequence();
    void rightClickOffersCopy();
    void copyPutsCaptionOnClipboard_data();
    void copyPutsCaptionOnClipboard();
    void failingOrDestructiveReceivers();

private:
    QStringList opened_;
    QList<QColor> colours_while_opening_;
    TGrlink* link_ = nullptr;  // whose colour the fake opener notes
    TGrlink::Opener previous_opener_;
};

void TestGrlink::init() {
    opened_.clear();
    colours_while_opening_.clear();
    link_ = nullptr;
    previous_opener_ = TGrlink::SetOpener([this](const QString& target) {
        opened_.append(target);
        if (link_ != nullptr) colours_while_opening_.append(TextColor(*link_));
    });
}

void TestGrlink::cleanup() { TGrlink::SetOpener(std::move(previous_opener_)); }

void TestGrlink::handCursorIsRegisteredAndUsed() {
    QVERIFY(QFile::exists(QStringLiteral(":/HAND")));
    // Whatever held the number before, a new link puts the hand back.
    bukvotok::CursorRegistry::Set(TGrlink::HandCursorIndex, QCursor(Qt::CrossCursor));
    TGrlink link;

    const QCursor hand = bukvotok::CursorRegistry::Get(TGrlink::HandCursorIndex);
    QCOMPARE(hand.hotSpot(), QPoint(5, 0));
    const QImage image = hand.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY(qAlpha(pixel) == 0 || pixel == 0xff000000 || pixel == 0xffffffff);
        }
    }
    QCOMPARE(image.pixel(5, 0), 0xff000000);  // the hot spot is on the finger tip

    QCOMPARE(link.cursor().hotSpot(), QPoint(5, 0));
    QCOMPARE(link.cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32), image);
    QCOMPARE(TextColor(link), kBlue);
    QCOMPARE(link.ActiveColor(), kPurple);
}

void TestGrlink::formFontKeepsUnderline_data() {
    QTest::addColumn<bool>("say_underline");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("expected");
    QTest::newRow("font silent about underline") << false << false << true;
    QTest::newRow("font asks for no underline") << true << false << false;
}

void TestGrlink::formFontKeepsUnderline() {
    QFETCH(bool, say_underline);
    QFETCH(bool, underline);
    QFETCH(bool, expected);

    QWidget form;
    TGrlink link(bukvotok::kForumAddress, &form);
    QVERIFY(link.font().underline());
    QFont form_font(QStringLiteral("MS Sans Serif"));
    form_font.setPixelSize(11);
    if (say_underline) form_font.setUnderline(underline);
    link.setFont(form_font);
    QCOMPARE(link.font().underline(), expected);
    QCOMPARE(link.font().pixelSize(), 11);
    form.setFont(QFont(QStringLiteral("DejaVu Serif")));  // the parent's change must not strip it
    QCOMPARE(link.font().underline(), expected);
}

void TestGrlink::clickOpensTarget_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("expected");

    const QString site = bukvotok::kSiteAddress;
    const QString other = QStringLiteral(" http://a.example\t");
    QTest::newRow("no URL: caption") << QString() << site << QStringList{site};
    QTest::newRow("URL of spaces: caption") << QStringLiteral("   ") << site << QStringList{site};
    QTest::newRow("URL of control characters: caption")
        << QStringLiteral("\t\x01\r\n ") << site << QStringList{site};
    QTest::newRow("URL wins, untrimmed") << other << QStringLiteral("Сайт") << QStringList{other};
    QTest::newRow("caption untrimmed") << QString() << other << QStringList{other};
    QTest::newRow("no-break space is not blank")
        << QStringLiteral("\u00a0") << site << QStringList{QStringLiteral("\u00a0")};
    QTest::newRow("both empty: nothing") << QString() << QString() << QStringList{};
    QTest::newRow("both blank: nothing")
        << QStringLiteral(" \x1f") << QStringLiteral("\t ") << QStringList{};
}

void TestGrlink::clickOpensTarget() {
    QFETCH(QString, url);
    QFETCH(QString, caption);
    QFETCH(QStringList, expected);

    TGrlink link(caption);
    link.setURL(url);
    link.resize(120, 20);
    link_ = &link;
    QSignalSpy clicks(&link, &TGrlink::clicked);

    QTest::mouseClick(&link, Qt::LeftButton);

    QCOMPARE(clicks.count(), 1);
    QCOMPARE(opened_, expected);
    // Still lit while the target is being opened.
    QCOMPARE(colours_while_opening_, QList<QColor>(expected.size(), kPurple));
    QCOMPARE(TextColor(link), kBlue);

    // To assistive technology it is a link, its value what a click opens, and its press action
    // opens that; like the mouse, it takes no keyboard focus.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&link);
    QCOMPARE(accessible->role(), QAccessible::Link);
    QCOMPARE(accessible->text(QAccessible::Name), caption);
    QCOMPARE(accessible->text(QAccessible::Value), expected.value(0));
    QCOMPARE(accessible->text(QAccessible::Description),
             expected.value(0) == caption ? QString() : expected.value(0));
    QVERIFY(!accessible->state().focusable);
    opened_.clear();
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(opened_, expected);
}

void TestGrlink::mouseSequence_data() {
    // P/R: left press/release inside, O: left release outside, D: double click inside,
    // p/r: right press/release.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("opens");
    QTest::addColumn<int>("flashes");

    QTest::newRow("click") << "PR" << 1 << 1;
    QTest::newRow("release outside") << "PO" << 0 << 1;
    QTest::newRow("double click") << "PRDR" << 1 << 2;  // the order Qt delivers it in
    QTest::newRow("double click, second release outside") << "PRDO" << 1 << 2;
    QTest::newRow("release without press") << "R" << 0 << 0;
    QTest::newRow("right button") << "pr" << 0 << 0;
    QTest::newRow("right button while left held") << "PprR" << 1 << 1;
    // A release lost to another window must not leave the link lit after the next one.
    QTest::newRow("press again, release lost") << "PPR" << 1 << 1;
}

void TestGrlink::mouseSequence() {
    QFETCH(QString, steps);
    QFETCH(int, opens);
    QFETCH(int, flashes);

    // Colours of our own, so the release is seen going back to the colour before the press.
    const QColor normal(0, 128, 0);
    const QColor lit(200, 0, 0);
    TGrlink link(bukvotok::kSiteAddress);
    link.resize(120, 20);
    link.setActiveColor(lit);
    QPalette palette = link.palette();
    palette.setColor(QPalette::WindowText, normal);
    link.setPalette(palette);
    link_ = &link;
    ColourLog log(&link);

    const QPoint inside = link.rect().center();
    const QPoint outside(link.width() + 10, link.height() + 10);
    for (const QChar step : steps) {
        const bool right = step.isLower();
        const Qt::MouseButton button = right ? Qt::RightButton : Qt::LeftButton;
        const QEvent::Type type = step == 'D'   ? QEvent::MouseButtonDblClick
                                  : step == 'P' ? QEvent::MouseButtonPress
                                  : step == 'p' ? QEvent::MouseButtonPress
                                                : QEvent::MouseButtonRelease;
        const QPoint pos = step == 'O' ? outside : inside;
        // Sent directly: QTest would warn about the events a label rightly leaves unaccepted.
        QMouseEvent event(type, pos, link.mapToGlobal(pos), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(&link, &event);
    }

    QCOMPARE(opened_.size(), opens);
    QCOMPARE(colours_while_opening_, QList<QColor>(opens, lit));
    QList<QColor> expected_log;
    for (int i = 0; i < flashes; ++i) expected_log << lit << normal;
    QCOMPARE(log.colours, expected_log);
}

void TestGrlink::rightClickOffersCopy() {
    TGrlink link(bukvotok::kSiteAddress);
    link.show();
    const QPoint inside = link.rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, link.mapToGlobal(inside));
    QApplication::sendEvent(&link, &event);

    QVERIFY(link.LinkMenu()->isVisible());
    QCOMPARE(link.LinkMenu()->actions(), QList<QAction*>{link.CopyItem()});
    QCOMPARE(link.CopyItem()->text(), QStringLiteral("&Copy"));
    QCOMPARE(TextColor(link), kBlue);
    link.LinkMenu()->close();

    // A screen reader user reaches the same menu through the link's show-menu action.
    QAccessible::queryAccessibleInterface(&link)->actionInterface()->doAction(
        QAccessibleActionInterface::showMenuAction());
    QVERIFY(link.LinkMenu()->isVisible());
    link.LinkMenu()->close();
}

void TestGrlink::copyPutsCaptionOnClipboard_data() {
    QTest::addColumn<QString>("caption");
    QTest::newRow("Cyrillic") << QStringLiteral("Форум Буквотока");
    QTest::newRow("padding kept") << QStringLiteral(" http://c.example ");
    QTest::newRow("empty") << QString();
}

void TestGrlink::copyPutsCaptionOnClipboard() {
    QFETCH(QString, caption);
    QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
    TGrlink link(caption);
    link.setURL(QStringLiteral("http://other.example"));

    link.CopyItem()->trigger();

    QCOMPARE(QGuiApplication::clipboard()->text(), caption);
    QVERIFY(opened_.isEmpty());
}

void TestGrlink::failingOrDestructiveReceivers() {
    // An exception must stop at the link: this Qt cannot unwind through its own frames.
    const TGrlink::Opener recorder =
        TGrlink::SetOpener([](const QString&) { throw std::runtime_error("no desktop"); });
    TGrlink link(bukvotok::kSiteAddress);
    link.resize(120, 20);
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(TextColor(link), kBlue);
    TGrlink::SetOpener(recorder);

    // A receiver of clicked() that deletes the link: nothing of it may be touched afterwards.
    auto* doomed = new TGrlink(bukvotok::kSiteAddress);
    doomed->resize(120, 20);
    connect(doomed, &TGrlink::clicked, doomed, [doomed] { delete doomed; });
    QTest::mouseClick(doomed, Qt::LeftButton);
    QVERIFY(opened_.isEmpty());
}

QTEST_MAIN(TestGrlink)
#include "tst_Grlink.moc"
