#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QtTest>
#include <algorithm>
#include <string>

#include "Cp1251.h"
#include "ResultsBox.h"

using bukvotok::ResultsBox;

namespace {

std::string Cp(const char* utf8) { return bukvotok::Utf8ToCp1251(utf8); }

QByteArray Bytes(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Numbered, so that a word lost, doubled or moved shows.  Each starts with its space and the box
// cuts chunks after a space, so in these texts only a hard break is followed by a space.
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

// A long line cut both ways the box cuts one: set whole, then appended batch by batch.
std::string FillChunked(ResultsBox& box, const std::string& start = Words(300)) {
    std::string text = start;
    box.SetResultsText(text);
    for (int batch = 0; batch < 40; ++batch) {
        const std::string words = Words(10, 1000 + batch * 10);
        box.AppendResultsText(words);
        text += words;
        (void)box.ResultsText();  // one refresh per batch
    }
    return text;
}

// A place in the document: the start of block x plus y; y = -1 is the end of the block before.
int At(const ResultsBox& box, QPoint place) {
    return box.document()->findBlockByNumber(place.x()).position() + place.y();
}

// The offset in ResultsText of a document position, for texts made of Words.
int ByteOffset(const ResultsBox& box, int position) {
    const QTextBlock block = box.document()->findBlock(position);
    int offset = position - block.blockNumber();
    for (QTextBlock b = box.document()->begin(); b != block; b = b.next()) {
        if (b.next().text().startsWith(u' ')) offset += 2;  // a hard break: CR LF
    }
    return offset;
}

void Select(ResultsBox& box, int anchor, int position) {
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
}

// QTest::keyClicks cannot type Cyrillic; a key event that carries the text can.
void Type(QWidget* widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

std::string Edited(std::string text, int at, int removed, const QByteArray& inserted) {
    return text.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(removed),
                        inserted.toStdString());
}

// What the box shows is what it will save: nothing outside the code page.
bool ShowsOnlyTheCodePage(const ResultsBox& box) {
    const QString shown = box.document()->toRawText();
    return std::all_of(shown.begin(), shown.end(), [](QChar c) {
        return c == u'?' || c == QChar::ParagraphSeparator ||
               bukvotok::UnicodeToCp1251(c.unicode()) != '?';
    });
}

// The text is still exact after more appends: the soft breaks after an edit are where they were.
bool StaysExactOnAppending(ResultsBox& box, const std::string& text) {
    const std::string more = Words(200, 5000);
    box.AppendResultsText(more);
    return box.ResultsText() == text + more;
}

}  // namespace

class tst_ResultsBox : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void appendsStayExactAndCutWhereTheViewWraps();
    void edits_data();
    void edits();
    void copyAndCutLeaveSoftBreaksOut_data();
    void copyAndCutLeaveSoftBreaksOut();
    void dropInsertsAtTheDropPoint();
    void appendsWaitForTheRefresh();
    void followsTheEndOnlyFromTheEnd_data();
    void followsTheEndOnlyFromTheEnd();
    void tabMovesFocusOnAndNoScrollBarsShow();
};

void tst_ResultsBox::roundTrip_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    std::string every_byte;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n') every_byte += static_cast<char>(byte);
    }
    const QByteArray yo = Bytes(Cp(" ёлка Ёж «ой» — №5 …"));
    const QByteArray lines = Bytes(Words(3000) + "\r\n" + Words(1000) + "\r\n\r\n" + Words(500));

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("ё, Ё and punctuation") << yo << yo;
    QTest::newRow("every byte but CR and LF") << Bytes(every_byte) << Bytes(every_byte);
    QTest::newRow("CR LF") << QByteArray(" a\r\n b\r\n") << QByteArray(" a\r\n b\r\n");
    QTest::newRow("CR LF split") << QByteArray("ab\r\ncd") << QByteArray("ab\r\ncd");
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n");
    QTest::newRow("CR CR LF, LF CR")
        << QByteArray("a\r\r\nb\n\rc") << QByteArray("a\r\n\r\nb\r\n\r\nc");
    QTest::newRow("long lines") << lines << lines;
}

void tst_ResultsBox::roundTrip() {
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);

    ResultsBox set;
    set.SetResultsText(input.toStdString());
    QCOMPARE(Bytes(set.ResultsText()), expected);
    set.Clear();
    QCOMPARE(set.ResultsText(), std::string());

    // Appended in pieces, each shown before the next: "CR LF split" has its CR in one piece
    // and its LF in the next.
    ResultsBox appended;
    const qsizetype piece = input.size() > 1000 ? 997 : 3;
    for (qsizetype at = 0; at < input.size(); at += piece) {
        appended.AppendResultsText(
            input.sliced(at, std::min(piece, input.size() - at)).toStdString());
        (void)appended.ResultsText();
    }
    QCOMPARE(Bytes(appended.ResultsText()), expected);
}

void tst_ResultsBox::appendsStayExactAndCutWhereTheViewWraps() {
    ResultsBox box;
    QVERIFY(Show(box));
    const std::string word = Cp(" слово");
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        box.AppendResultsText(word);
        expected += word;
    }
    QCOMPARE(Bytes(box.ResultsText()), Bytes(expected));
    // The point of the chunks: no block long enough to make an append slow.
    const QTextDocument* document = box.document();
    QVERIFY(document->blockCount() >= document->characterCount() / 4096);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QVERIFY(block.length() <= 4096);
        if (block.blockNumber() > 0) QVERIFY(!block.text().startsWith(u' '));  // not mid-word
    }

    // Words of many lengths, appended as a search does, so that a line may end anywhere.
    box.Clear();
    const std::string letters = Cp("абвгдеёжзийклмнопрстуфхцчшщъыьэюя");
    expected.clear();
    for (std::size_t i = 0; i < 3000; ++i) {
        // Built up piece by piece: GCC 12 warns falsely (-Wrestrict) about " " + std::string.
        std::string numbered = " ";
        numbered += letters.substr(0, 1 + i * 7 % 19);
        numbered += std::to_string(i);
        box.AppendResultsText(numbered);
        expected += numbered;
        if (i % 10 == 9) (void)box.ResultsText();
    }
    QCOMPARE(Bytes(box.ResultsText()), Bytes(expected));
    QVERIFY(document->blockCount() > 10);
    // Cut where the view wraps, the blocks take as many lines as the line would uncut: no
    // short line shows where a chunk ends.
    int lines = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        document->documentLayout()->blockBoundingRect(block);
        lines += block.layout()->lineCount();
    }
    QTextLayout whole(QString::fromStdString(bukvotok::Cp1251ToUtf8(expected)),
                      document->defaultFont());
    whole.setTextOption(document->defaultTextOption());
    const qreal width = document->firstBlock().layout()->lineAt(0).width();
    int whole_lines = 0;
    whole.beginLayout();
    for (QTextLine line = whole.createLine(); line.isValid(); line = whole.createLine()) {
        line.setLineWidth(width);
        ++whole_lines;
    }
    whole.endLayout();
    QCOMPARE(lines, whole_lines);
}

void tst_ResultsBox::edits_data() {
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<QPoint>("caret");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("typed");  // or pasted, with Ctrl+V among the keys
    QTest::addColumn<int>("shift");      // where the edit lands, from the selection start
    QTest::addColumn<int>("removed");    // besides the selection
    QTest::addColumn<QByteArray>("inserted");
    const QPoint start(2, 0);  // either side of a soft break
    const QPoint end(2, -1);
    const QPoint inside(2, 5);
    const QByteArray zhe = Bytes(Cp("ж"));
    const QByteArray crlf("\r\n");
    const QList<int> none;
    const QList<int> enter{Qt::Key_Return};
    const QList<int> paste{(Qt::ControlModifier | Qt::Key_V).toCombined()};

    QTest::newRow("Backspace at a chunk start")
        << start << start << QList<int>{Qt::Key_Backspace} << "" << -1 << 1 << QByteArray();
    QTest::newRow("Backspace at a chunk end")
        << end << end << QList<int>{Qt::Key_Backspace} << "" << -1 << 1 << QByteArray();
    QTest::newRow("Delete at a chunk end")
        << end << end << QList<int>{Qt::Key_Delete} << "" << 0 << 1 << QByteArray();
    QTest::newRow("Delete at a chunk start")
        << start << start << QList<int>{Qt::Key_Delete} << "" << 0 << 1 << QByteArray();
    QTest::newRow("typing at a chunk start") << start << start << none << "ж" << 0 << 0 << zhe;
    QTest::newRow("typing at a chunk end") << end << end << none << "ж" << 0 << 0 << zhe;
    QTest::newRow("Right at a chunk end")
        << end << end << QList<int>{Qt::Key_Right} << "ж" << 1 << 0 << zhe;
    QTest::newRow("Left at a chunk start")
        << start << start << QList<int>{Qt::Key_Left} << "ж" << -1 << 0 << zhe;
    QTest::newRow("Enter at a chunk start") << start << start << enter << "" << 0 << 0 << crlf;
    QTest::newRow("Enter at a chunk end, then typing")
        << end << end << enter << "ж" << 0 << 0 << crlf + zhe;
    QTest::newRow("Enter inside a chunk") << inside << inside << enter << "" << 0 << 0 << crlf;
    QTest::newRow("Shift+Enter") << inside << inside
                                 << QList<int>{(Qt::ShiftModifier | Qt::Key_Return).toCombined()}
                                 << "" << 0 << 0 << crlf;
    QTest::newRow("Enter and Backspace at a chunk start")
        << start << start << QList<int>{Qt::Key_Return, Qt::Key_Backspace} << "" << 0 << 0
        << QByteArray();
    QTest::newRow("Enter and Backspace at a chunk end")
        << end << end << QList<int>{Qt::Key_Return, Qt::Key_Backspace} << "" << 0 << 0
        << QByteArray();
    QTest::newRow("Enter, Left and Delete")
        << inside << inside << QList<int>{Qt::Key_Return, Qt::Key_Left, Qt::Key_Delete} << "" << 0
        << 0 << QByteArray();
    QTest::newRow("unmappable letters typed")
        << inside << inside << none << "漢" << 0 << 0 << QByteArray("?");
    QTest::newRow("beyond the basic plane typed")
        << inside << inside << none << "😀" << 0 << 0 << QByteArray("?");
    QTest::newRow("euro sign typed")
        << inside << inside << none << "€" << 0 << 0 << QByteArray("\x88");

    const QPoint from(1, 5);
    const QPoint to(4, 3);
    QTest::newRow("Delete over three soft breaks")
        << from << to << QList<int>{Qt::Key_Delete} << "" << 0 << 0 << QByteArray();
    QTest::newRow("Backspace, selected backwards")
        << to << from << QList<int>{Qt::Key_Backspace} << "" << 0 << 0 << QByteArray();
    QTest::newRow("typing over a selection") << from << to << none << "ж" << 0 << 0 << zhe;
    QTest::newRow("Enter over a selection") << from << to << enter << "" << 0 << 0 << crlf;
    QTest::newRow("Delete from a chunk start to a chunk end")
        << QPoint(2, 0) << QPoint(4, -1) << QList<int>{Qt::Key_Delete} << "" << 0 << 0
        << QByteArray();
    QTest::newRow("Delete from a chunk end to a chunk start")
        << QPoint(2, -1) << QPoint(4, 0) << QList<int>{Qt::Key_Delete} << "" << 0 << 0
        << QByteArray();

    QTest::newRow("pasting LF, CR LF and CR")
        << start << start << paste << "a\nb\r\nc\rd" << 0 << 0 << QByteArray("a\r\nb\r\nc\r\nd");
    QTest::newRow("pasting Unicode breaks")
        << start << start << paste << "a\u2029b\u2028c" << 0 << 0 << QByteArray("a\r\nb\r\nc");
    QTest::newRow("pasting Cyrillic and unmappables")
        << from << to << paste << "ёЁ漢€😀" << 0 << 0 << Bytes(Cp("ёЁ") + "?\x88?");
}

void tst_ResultsBox::edits() {
    QFETCH(QPoint, anchor);
    QFETCH(QPoint, caret);
    QFETCH(QList<int>, keys);
    QFETCH(QString, typed);
    QFETCH(int, shift);
    QFETCH(int, removed);
    QFETCH(QByteArray, inserted);

    ResultsBox box;
    QVERIFY(Show(box));
    const std::string text = FillChunked(box);
    const int first = ByteOffset(box, std::min(At(box, anchor), At(box, caret)));
    const int last = ByteOffset(box, std::max(At(box, anchor), At(box, caret)));
    Select(box, At(box, anchor), At(box, caret));
    const bool pasting = keys.contains((Qt::ControlModifier | Qt::Key_V).toCombined());
    if (pasting) QApplication::clipboard()->setText(typed);

    for (const int key : keys) {
        const QKeyCombination combination = QKeyCombination::fromCombined(key);
        QTest::keyClick(&box, combination.key(), combination.keyboardModifiers());
    }
    if (!pasting && !typed.isEmpty()) Type(&box, typed);

    const std::string expected = Edited(text, first + shift, last - first + removed, inserted);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(expected));
    QVERIFY(ShowsOnlyTheCodePage(box));
    QVERIFY(StaysExactOnAppending(box, expected));
}

void tst_ResultsBox::copyAndCutLeaveSoftBreaksOut_data() {
    QTest::addColumn<bool>("cut");
    QTest::addColumn<bool>("over_hard_break");
    QTest::newRow("copy") << false << false;
    QTest::newRow("cut") << true << false;
    QTest::newRow("copy over a hard break") << false << true;
    QTest::newRow("cut over a hard break") << true << true;
}

void tst_ResultsBox::copyAndCutLeaveSoftBreaksOut() {
    QFETCH(bool, cut);
    QFETCH(bool, over_hard_break);

    ResultsBox box;
    QVERIFY(Show(box));
    const std::string text = FillChunked(box, Words(300) + "\r\n" + Words(300, 300));
    int hard = 1;
    while (!box.document()->findBlockByNumber(hard).text().startsWith(u' ')) ++hard;
    const int anchor = At(box, {1, 5});
    const int position = At(box, over_hard_break ? QPoint(hard, 5) : QPoint(3, 7));
    const int start = ByteOffset(box, anchor);
    const int end = ByteOffset(box, position);
    Select(box, anchor, position);

    cut ? box.cut() : box.copy();

    const std::string selected =
        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    QString expected = QString::fromStdString(bukvotok::Cp1251ToUtf8(selected));
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(QApplication::clipboard()->text(), expected);
    const std::string left = cut ? Edited(text, start, end - start, {}) : text;
    QCOMPARE(Bytes(box.ResultsText()), Bytes(left));
    QVERIFY(StaysExactOnAppending(box, left));
}

void tst_ResultsBox::dropInsertsAtTheDropPoint() {
    ResultsBox box;
    QVERIFY(Show(box));
    const std::string text = FillChunked(box);
    Select(box, 0, 0);  // the view to the top, soft breaks below the drop point
    const QPoint point(40, 20);
    const int offset = ByteOffset(box, box.cursorForPosition(point).position());
    QMimeData data;
    data.setText(QStringLiteral("x\ny"));

    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &enter);
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &drop);

    const std::string expected = Edited(text, offset, 0, "x\r\ny");
    QCOMPARE(Bytes(box.ResultsText()), Bytes(expected));
    QVERIFY(StaysExactOnAppending(box, expected));
}

void tst_ResultsBox::appendsWaitForTheRefresh() {
    ResultsBox box;
    QVERIFY(Show(box));
    box.SetResultsText(Words(100));
    int changes = 0;
    connect(box.document(), &QTextDocument::contentsChange, &box, [&changes] { ++changes; });
    const int length = box.document()->characterCount();

    for (int i = 0; i < 1000; ++i) box.AppendResultsText(Words(1, i));

    QCOMPARE(box.document()->characterCount(), length);
    QTRY_VERIFY(box.document()->characterCount() > length);
    // One insertion for the whole burst, and at most one cut per chunk of it.
    QVERIFY2(changes <= 1 + 9000 / 1000, qPrintable(QString::number(changes)));
    QCOMPARE(Bytes(box.ResultsText()), Bytes(Words(100) + Words(1000)));
    // Appends not yet shown go with the text they were appended to.
    box.AppendResultsText(" a");
    box.SetResultsText(" b");
    QCOMPARE(box.ResultsText(), std::string(" b"));
}

void tst_ResultsBox::followsTheEndOnlyFromTheEnd_data() {
    QTest::addColumn<int>("anchor");  // -1: the end, -2: inside the last block
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("follows");
    QTest::newRow("caret at the end") << -1 << -1 << true;
    QTest::newRow("caret elsewhere") << 5 << 5 << false;
    QTest::newRow("caret in the last block") << -2 << -2 << false;
    QTest::newRow("selection") << 2 << 10 << false;
    QTest::newRow("selection to the end") << 0 << -1 << false;
    QTest::newRow("selection from the end") << -1 << 3 << false;
}

void tst_ResultsBox::followsTheEndOnlyFromTheEnd() {
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(bool, follows);

    ResultsBox box;
    QVERIFY(Show(box));
    FillChunked(box, Words(2000));
    const auto resolve = [&box](int at) {
        if (at == -1) return box.document()->characterCount() - 1;
        if (at == -2) return box.document()->lastBlock().position() + 2;
        return at;
    };
    Select(box, resolve(anchor), resolve(position));
    const int anchor_offset = ByteOffset(box, box.textCursor().anchor());
    const int position_offset = ByteOffset(box, box.textCursor().position());
    const int top = box.verticalScrollBar()->value();

    for (int burst = 0; burst < 10; ++burst) {
        box.AppendResultsText(Words(100, 10000 + burst * 100));
        QTest::qWait(20);
    }
    QTest::qWait(50);

    const QTextCursor after = box.textCursor();
    if (follows) {
        QVERIFY(after.atEnd());
        QVERIFY(box.verticalScrollBar()->value() > top);
        QCOMPARE(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());
        QVERIFY(box.viewport()->rect().contains(box.cursorRect()));
    } else {
        QCOMPARE(ByteOffset(box, after.anchor()), anchor_offset);
        QCOMPARE(ByteOffset(box, after.position()), position_offset);
        QCOMPARE(box.verticalScrollBar()->value(), top);
    }
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
    QCoreApplication::processEvents();  // lets the box settle its scroll bars
    QVERIFY(!box->verticalScrollBar()->isVisible());
    QVERIFY(!box->horizontalScrollBar()->isVisible());
    QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);  // nor when unwrapped
    QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

QTEST_MAIN(tst_ResultsBox)
#include "tst_ResultsBox.moc"
