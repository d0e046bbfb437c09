#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>
#include <string>

#include "Cp1251.h"
#include "ResultsBox.h"
#include "ResultsTransfer.h"
#include "SaveProgressDialog.h"
#include "ShowError.h"

using bukvotok::ResultsBox;
using bukvotok::ViewLines;

namespace {

std::string Cp(const char* utf8) { return bukvotok::Utf8ToCp1251(utf8); }

QByteArray Bytes(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Numbered, so that a word lost, doubled or moved shows.
std::string Words(int count, int first = 0) {
    std::string words;
    for (int i = first; i < first + count; ++i) words += Cp(" слово") + std::to_string(i);
    return words;
}

bool Show(QWidget& widget) {
    widget.resize(329, 113);  // the main window's size
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

// QTest::keyClicks cannot type Cyrillic; a key event that carries the text can.
void Type(QWidget* widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

void Press(QWidget* widget, int combined) {
    const QKeyCombination key = QKeyCombination::fromCombined(combined);
    QTest::keyClick(widget, key.key(), key.keyboardModifiers());
}

// Clicks as the window system sends them, with no event loop in between: a second press
// comes as a double click.
void Click(ResultsBox& box, QPointF at, int clicks) {
    QWidget* viewport = box.viewport();
    const QPointF global = viewport->mapToGlobal(at);
    for (int i = 0; i < clicks; ++i) {
        QMouseEvent press(i == 1 ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, at,
                          global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
    }
}

std::string Edited(std::string text, int at, int removed, const QByteArray& inserted) {
    return text.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(removed),
                        inserted.toStdString());
}

}  // namespace

// What is Qt's own in the box: its events reaching the editor, its clipboard, mime data and
// drops, focus, and what assistive technology reads.  What the box does is tested without a
// toolkit, against the editor (results_editor_tests).
class tst_ResultsBox : public QObject {
    Q_OBJECT

private slots:
    void qtEventsReachTheEditor();
    void copiesGiveLineBreaksAsNewlines();
    void aDropFromAnotherProgramGoesIn();
    void textThatNeverCameIsSaidSo();
    void tabMovesFocusOnAndNoScrollBarsShow();
    void drawsWhatDrawTextDraws();
    void aScreenReaderReadsAPieceAroundAnOffset_data();
    void aScreenReaderReadsAPieceAroundAnOffset();
};

// Keys as Qt sends them (Cyrillic text, Alt with a letter, the keypad's Enter, a shortcut the
// window would take), an input method's text, a double click, the wheel and the frame timer,
// each turned into the editor's call.
void tst_ResultsBox::qtEventsReachTheEditor() {
    ResultsBox box;
    QVERIFY(Show(box));
    box.setFocus();
    const std::string text = Words(300);
    box.SetResultsText(text);
    box.SetSelection(10, 10);
    QKeyEvent shortcut(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier);
    QApplication::sendEvent(&box, &shortcut);
    QVERIFY(shortcut.isAccepted());
    Type(&box, QStringLiteral("ж"));
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier, QStringLiteral("а"));
    QApplication::sendEvent(&box, &alt);  // the window's menu key, not a letter
    Press(&box, (Qt::KeypadModifier | Qt::Key_Enter).toCombined());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ю"));
    QApplication::sendEvent(&box, &commit);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(Edited(text, 10, 0, Bytes(Cp("ж\r\nю")))));
    for (int i = 0; i < 3; ++i) Press(&box, (Qt::ControlModifier | Qt::Key_Z).toCombined());
    QCOMPARE(Bytes(box.ResultsText()), Bytes(text));

    box.SetSelection(0, 0);
    Click(box, box.CaretRect(3).center(), 2);
    QCOMPARE(box.SelectedText(), QStringLiteral("слово0"));
    const std::size_t top = box.TopOffset();
    const QPointF at(20, 20);
    QWheelEvent wheel(at, box.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box.viewport(), &wheel);
    QVERIFY(box.TopOffset() > top);

    box.SetSelection(box.ResultsSize(), box.ResultsSize());
    box.AppendResultsText(Words(300, 300));
    QTRY_VERIFY(box.ShowsEnd());
}

void tst_ResultsBox::copiesGiveLineBreaksAsNewlines() {
    ResultsBox box;
    const std::string text = Words(30) + "\r\n" + Words(30, 30);
    const std::size_t from = 50;
    const std::size_t to = text.size() - 50;
    const std::string copied = text.substr(from, to - from);
    box.SetResultsText(text);
    const QString expected = QString::fromStdString(bukvotok::Cp1251ToUtf8(copied))
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    box.SetSelection(from, to);
    box.Copy();
    QCOMPARE(QApplication::clipboard()->text(), expected);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(text));

    // The box's own copy goes back in as the bytes it holds.
    box.SelectAll();
    Type(&box, QStringLiteral("x"));
    Press(&box, (Qt::ControlModifier | Qt::Key_V).toCombined());
    QCOMPARE(Bytes(box.ResultsText()), Bytes("x" + copied));
    QCOMPARE(QApplication::clipboard()->text(), expected);

    // Made for another program a piece at a time, behind the progress dialog when that takes
    // long (here at once): a few blocks, the first ending between CR and LF.
    const std::string first((1 << 20) - 1, 'a');
    const std::string rest = Cp("€№ё") + Words(300000);
    const std::string blocks = first + "\r\n" + rest;
    const std::string utf8_expected = first + "\n" + bukvotok::Cp1251ToUtf8(rest);
    box.SetResultsText(blocks);
    box.SelectAll();
    box.Copy();
    struct : QObject {
        QStringList shown;  // what the progress dialog says as it shows
        bool eventFilter(QObject* watched, QEvent* event) override {
            const auto* dialog = qobject_cast<bukvotok::SaveProgressDialog*>(watched);
            if (dialog && event->type() == QEvent::Show)
                shown << dialog->findChild<QLabel*>()->text();
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    const auto delay = bukvotok::SetSaveProgressDelay(std::chrono::milliseconds{0});
    const QByteArray utf8 =
        QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain"));
    bukvotok::SetSaveProgressDelay(delay);
    QVERIFY(utf8.toStdString() == utf8_expected);
    QCOMPARE(watch.shown.size(), 1);
    QVERIFY(watch.shown.front().startsWith(QStringLiteral("Передача скопированного текста: ")));
}

void tst_ResultsBox::aDropFromAnotherProgramGoesIn() {
    ResultsBox box;
    QVERIFY(Show(box));
    const std::string text = Words(300);
    box.SetResultsText(text);
    box.SetSelection(0, 0);  // the view to the top
    const QPoint point(40, 20);
    const std::size_t offset = box.OffsetAt(point);
    QVERIFY(offset > 0);
    QMimeData data;
    data.setText(QStringLiteral("x\ny"));

    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &enter);
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &drop);

    const std::string expected = Edited(text, static_cast<int>(offset), 0, "x\r\ny");
    QCOMPARE(Bytes(box.ResultsText()), Bytes(expected));
}

// Text another program offered, that never came in the time the clipboard waits for it: the
// paste says so.
void tst_ResultsBox::textThatNeverCameIsSaidSo() {
    QStringList errors;
    bukvotok::ReplaceErrorBox([&errors](const QString&, const QString& text) { errors << text; });
    {
        // What Qt hands over of such an offer: nothing, once the wait is over.
        struct NeverCame : QMimeData {
            QStringList formats() const override { return {QStringLiteral("text/plain")}; }
            QVariant retrieveData(const QString&, QMetaType) const override {
                QElapsedTimer waited;
                waited.start();
                while (!waited.hasExpired(1)) {
                }
                return QString();
            }
        };
        errors.clear();
        ResultsBox box;
        QApplication::clipboard()->setMimeData(new NeverCame);
        const auto wait = bukvotok::SetForeignTextWait(std::chrono::milliseconds{1});
        box.Paste();
        bukvotok::SetForeignTextWait(wait);
        QCOMPARE(errors, QStringList{"Вставка не сделана: другая программа не передала текст за "
                                     "5 секунд, которые ждёт буфер обмена, — так бывает с очень "
                                     "большим текстом. Вставьте его частями."});
    }
    bukvotok::ReplaceErrorBox({});
}

void tst_ResultsBox::tabMovesFocusOnAndNoScrollBarsShow() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* box = new ResultsBox;
    auto* next = new QLineEdit;
    layout->addWidget(box);
    layout->addWidget(next);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    box->SetResultsText(Words(5000) + "\r\n" + std::string(2000, 'x'));
    box->setFocus();

    QTest::keyClick(box, Qt::Key_Tab);

    QVERIFY(next->hasFocus());
    QCOMPARE(Bytes(box->ResultsText()), Bytes(Words(5000) + "\r\n" + std::string(2000, 'x')));
    QCoreApplication::processEvents();
    QVERIFY(!box->verticalScrollBar()->isVisible());
    QVERIFY(!box->horizontalScrollBar()->isVisible());
}

void tst_ResultsBox::aScreenReaderReadsAPieceAroundAnOffset_data() {
    QTest::addColumn<int>("boundary");
    QTest::addColumn<int>("which");         // -1 before, 0 at, 1 after
    QTest::addColumn<int>("offset");        // -2: the caret, which stands before "ab ёж"
    QTest::addColumn<QString>("expected");  // empty: the line on screen
    // After a word longer than a question reads: the first "о" of the last word, " слово19999",
    // then CR LF and "ab ёж".
    const int longest = static_cast<int>(bukvotok::LineLayout::kLongestLine);
    const int word = longest + 3 + static_cast<int>(Words(20000).size()) - 8;
    QTest::newRow("a word longer than is read")
        << int(QAccessible::WordBoundary) << 0 << 0 << QString(longest, QChar(u'я'));
    QTest::newRow("a letter") << int(QAccessible::CharBoundary) << 0 << word << "о";
    QTest::newRow("a line break") << int(QAccessible::CharBoundary) << 0 << word + 8 << "\r\n";
    QTest::newRow("between CR and LF") << int(QAccessible::CharBoundary) << 0 << word + 9 << "\r\n";
    QTest::newRow("a word") << int(QAccessible::WordBoundary) << 0 << word << "слово19999";
    QTest::newRow("before a word") << int(QAccessible::WordBoundary) << -1 << word << " ";
    QTest::newRow("after the last word of a paragraph")
        << int(QAccessible::WordBoundary) << 1 << word << "\r\n";
    QTest::newRow("the word at the caret") << int(QAccessible::WordBoundary) << 0 << -2 << "ab";
    QTest::newRow("a line") << int(QAccessible::LineBoundary) << 0 << word << "";
    QTest::newRow("the line before") << int(QAccessible::LineBoundary) << -1 << word << "";
    QTest::newRow("the line at the end")
        << int(QAccessible::LineBoundary) << 0 << word + 15 << "ab ёж";
    QTest::newRow("a paragraph longer than is read: its line")
        << int(QAccessible::ParagraphBoundary) << 0 << word << "";
    QTest::newRow("a short paragraph")
        << int(QAccessible::ParagraphBoundary) << 0 << word + 10 << "ab ёж";
    QTest::newRow("the end") << int(QAccessible::CharBoundary) << 0 << word + 15 << "";
}

// A paragraph of words longer than a screen reader's question reads, and a short one: a
// character, a word, the line on screen, each read from around its offset, with no error box.
void tst_ResultsBox::aScreenReaderReadsAPieceAroundAnOffset() {
    QFETCH(int, boundary);
    QFETCH(int, which);
    QFETCH(int, offset);
    QFETCH(QString, expected);
    QStringList errors;
    bukvotok::ReplaceErrorBox([&errors](const QString&, const QString& text) { errors << text; });
    ResultsBox box;
    QVERIFY(Show(box));
    box.SetResultsText(std::string(bukvotok::LineLayout::kLongestLine + 1, Cp("я")[0]) + "\r\n" +
                       Words(20000) + "\r\n" + Cp("ab ёж"));
    box.SetSelection(box.ResultsSize() - 5, box.ResultsSize() - 5);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&box);
    QAccessibleTextInterface* text = accessible->textInterface();
    const auto type = static_cast<QAccessible::TextBoundaryType>(boundary);
    int start = -1;
    int end = -1;
    const QString read = which < 0   ? text->textBeforeOffset(offset, type, &start, &end)
                         : which > 0 ? text->textAfterOffset(offset, type, &start, &end)
                                     : text->textAtOffset(offset, type, &start, &end);
    if (expected.isEmpty() && offset < text->characterCount()) {
        ViewLines::Line line = box.Lines().LineAt(static_cast<std::size_t>(offset));
        if (which < 0) line = *box.Lines().LineBefore(line);
        QVERIFY(line.end - line.start < 1000);
        expected =
            QString::fromStdString(bukvotok::Cp1251ToUtf8(box.ResultsText(line.start, line.end)));
    }
    QCOMPARE(read, expected);
    QCOMPARE(text->text(start, end), read);
    QCOMPARE(errors, QStringList());
    bukvotok::ReplaceErrorBox({});
}

// The letters are drawn as glyphs looked up once per font: as Qt shapes them, and in a new font
// once the font changes.
void tst_ResultsBox::drawsWhatDrawTextDraws() {
    ResultsBox box;
    QVERIFY(Show(box));
    const QString text = QStringLiteral("Съешь ещё этих булок, 1 € №");
    box.SetResultsText(bukvotok::Utf8ToCp1251(text.toStdString()));
    box.clearFocus();  // no caret
    for (const int pixels : {11, 16}) {
        QFont font = box.font();
        font.setPixelSize(pixels);
        box.setFont(font);
        const QImage shown = box.viewport()->grab().toImage();
        QImage expected = shown;
        expected.fill(box.palette().color(QPalette::Base));
        QPainter painter(&expected);
        font.setKerning(false);
        painter.setFont(font);
        painter.setPen(box.palette().color(QPalette::Text));
        const qreal margin = ResultsBox::kMargin;
        painter.drawText(QPointF(margin, margin + QFontMetricsF(font).ascent()), text);
        painter.end();
        QCOMPARE(shown, expected);
    }
}

QTEST_MAIN(tst_ResultsBox)
#include "tst_ResultsBox.moc"
