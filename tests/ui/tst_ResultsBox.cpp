#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>
#include <string>

#include "Cp1251.h"
#include "Question.h"
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
// comes as a double click, and a third within the interval as a press again.
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

// How many steps Ctrl+Z undoes until there are none.
int UndoAll(ResultsBox& box) {
    int steps = 0;
    for (; box.CanUndo(); ++steps) Press(&box, (Qt::ControlModifier | Qt::Key_Z).toCombined());
    return steps;
}

std::string Edited(std::string text, int at, int removed, const QByteArray& inserted) {
    return text.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(removed),
                        inserted.toStdString());
}

// The text is still exact after more appends, and so are its lines, those of a box laid out
// afresh: an edit left the box's own account of its lines in order, and the appends were told
// to it.
bool StaysExactOnAppending(ResultsBox& box, const std::string& text) {
    const std::string more = Words(200, 5000);
    box.AppendResultsText(more);
    if (box.ResultsText() != text + more) return false;
    const bukvotok::BlockBytes bytes = box.Share(0, box.ResultsSize());
    bukvotok::ViewLines fresh(bytes);
    fresh.SetMetrics(box.Lines().Layout().Metrics());
    fresh.Finish();
    std::optional<bukvotok::ViewLines::Line> shown = box.Lines().LineAt(0);
    for (auto line = std::make_optional(fresh.LineAt(0)); line; line = fresh.LineAfter(*line)) {
        if (shown != line) return false;
        shown = box.Lines().LineAfter(*shown);
    }
    return !shown;
}

std::size_t TopShown(ResultsBox& box) {
    return box.OffsetAt(QPoint(ResultsBox::kMargin, ResultsBox::kMargin));
}

bool EndShown(ResultsBox& box) {
    const QRect end = box.CaretRect(box.ResultsSize());
    return end.top() >= 0 && end.bottom() < box.viewport()->height();
}

// Appends: the view stays until its next refresh draws the box whole (the caret's blinking draws
// only itself), which this waits for, however late a busy machine runs it.
bool AppendAndWaitForRefresh(ResultsBox& box, const std::string& bytes, bool together = false) {
    struct WholePaints : QObject {
        int count = 0;
        bool eventFilter(QObject* viewport, QEvent* event) override {
            count += event->type() == QEvent::Paint && static_cast<QPaintEvent*>(event)->rect() ==
                                                           static_cast<QWidget*>(viewport)->rect();
            return false;
        }
    } paints;
    box.viewport()->repaint();  // what was due to be drawn before is drawn now
    box.viewport()->installEventFilter(&paints);
    const std::size_t top = TopShown(box);
    if (together) {
        std::size_t taken = 0;
        box.AppendWords(bytes, taken);  // a search's words handed over together
    } else {
        box.AppendResultsText(bytes);
    }
    if (TopShown(box) != top) return false;
    return QTest::qWaitFor([&paints] { return paints.count > 0; });
}

}  // namespace

class tst_ResultsBox : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void edits_data();
    void edits();
    void caretMoves_data();
    void caretMoves();
    void clicks_data();
    void clicks();
    void typingRuns_data();
    void typingRuns();
    void copyAndCutGiveLineBreaksAsNewlines();
    void dropsInsertAndMove();
    void movingTheSelectionLandsWhereDropped_data();
    void movingTheSelectionLandsWhereDropped();
    void undoPutsBackEditsAroundTheWordsThatArrived();
    void pastTwoToTheTwentyFourLinesTheCaretAndClicksStayExact();
    void followsTheEndOnlyFromTheEnd_data();
    void followsTheEndOnlyFromTheEnd();
    void aFullBoxRefusesMoreAndKeepsItsText();
    void tabMovesFocusOnAndNoScrollBarsShow();
    void aWidthChangeKeepsItsPlaceAndKeysMoveByTheNewLines();
    void copiesPastedIntoItselfKeepTheTextInFewPieces();
    void refusalsSayWhatHappenedAndWhatCanBeDone();
    void aScreenReaderReadsAPieceAroundAnOffset_data();
    void aScreenReaderReadsAPieceAroundAnOffset();
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

    // Appended in pieces: "CR LF split" has its CR in one piece and its LF in the next.
    ResultsBox appended;
    const qsizetype piece = input.size() > 1000 ? 997 : 3;
    for (qsizetype at = 0; at < input.size(); at += piece) {
        appended.AppendResultsText(
            input.sliced(at, std::min(piece, input.size() - at)).toStdString());
    }
    QCOMPARE(Bytes(appended.ResultsText()), expected);

    // A lone CR's LF in the next append, then a line break of its own.
    ResultsBox split;
    for (const char* part : {"a\r", "\n", "\nb"}) split.AppendResultsText(part);
    QCOMPARE(Bytes(split.ResultsText()), QByteArray("a\r\n\r\nb"));
    // Words between the lone CR and the LF: the LF is a line break of its own.
    std::size_t taken = 0;
    split.AppendResultsText("\r");
    split.AppendWords(" w", taken);
    split.AppendResultsText("\nc");
    QCOMPARE(Bytes(split.ResultsText()), QByteArray("a\r\n\r\nb\r\n w\r\nc"));
}

void tst_ResultsBox::edits_data() {
    QTest::addColumn<int>("anchor");  // byte offsets into Words(300) + CR LF + Words(300)
    QTest::addColumn<int>("caret");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("typed");  // or pasted, with Ctrl+V among the keys
    QTest::addColumn<int>("at");         // where the edit lands
    QTest::addColumn<int>("removed");
    QTest::addColumn<QByteArray>("inserted");
    const int line_break = static_cast<int>(Words(300).size());
    const int after_break = line_break + 2;
    const QByteArray zhe = Bytes(Cp("ж"));
    const QByteArray crlf("\r\n");
    const QList<int> none;
    const QList<int> enter{Qt::Key_Return};
    const QList<int> paste{(Qt::ControlModifier | Qt::Key_V).toCombined()};
    const QList<int> backspace{Qt::Key_Backspace};
    const QList<int> del{Qt::Key_Delete};

    QTest::newRow("typing") << 10 << 10 << none << "ж" << 10 << 0 << zhe;
    QTest::newRow("Backspace") << 10 << 10 << backspace << "" << 9 << 1 << QByteArray();
    QTest::newRow("Delete") << 10 << 10 << del << "" << 10 << 1 << QByteArray();
    QTest::newRow("Backspace after a line break takes CR and LF")
        << after_break << after_break << backspace << "" << line_break << 2 << QByteArray();
    QTest::newRow("Delete before a line break takes CR and LF")
        << line_break << line_break << del << "" << line_break << 2 << QByteArray();
    QTest::newRow("Left over a line break, then typing")
        << after_break << after_break << QList<int>{Qt::Key_Left} << "ж" << line_break << 0 << zhe;
    QTest::newRow("Right over a line break, then typing")
        << line_break << line_break << QList<int>{Qt::Key_Right} << "ж" << after_break << 0 << zhe;
    QTest::newRow("Enter") << 10 << 10 << enter << "" << 10 << 0 << crlf;
    QTest::newRow("Shift+Enter") << 10 << 10
                                 << QList<int>{(Qt::ShiftModifier | Qt::Key_Return).toCombined()}
                                 << "" << 10 << 0 << crlf;
    QTest::newRow("Enter and Backspace")
        << 10 << 10 << QList<int>{Qt::Key_Return, Qt::Key_Backspace} << "" << 10 << 0
        << QByteArray();
    QTest::newRow("Enter, Left and Delete")
        << 10 << 10 << QList<int>{Qt::Key_Return, Qt::Key_Left, Qt::Key_Delete} << "" << 10 << 0
        << QByteArray();
    QTest::newRow("unmappable letters typed")
        << 10 << 10 << none << "漢" << 10 << 0 << QByteArray("?");
    QTest::newRow("beyond the basic plane typed")
        << 10 << 10 << none << "😀" << 10 << 0 << QByteArray("?");
    QTest::newRow("euro sign typed") << 10 << 10 << none << "€" << 10 << 0 << QByteArray("\x88");

    const int from = 100;
    const int to = after_break + 50;  // over the line break
    QTest::newRow("Delete a selection")
        << from << to << del << "" << from << to - from << QByteArray();
    QTest::newRow("Backspace, selected backwards")
        << to << from << backspace << "" << from << to - from << QByteArray();
    QTest::newRow("typing over a selection")
        << from << to << none << "ж" << from << to - from << zhe;
    QTest::newRow("Enter over a selection")
        << from << to << enter << "" << from << to - from << crlf;
    const QList<int> ctrl_backspace{(Qt::ControlModifier | Qt::Key_Backspace).toCombined()};
    QTest::newRow("Ctrl+Backspace deletes the word before")
        << 15 << 15 << ctrl_backspace << "" << 8 << 7 << QByteArray();
    QTest::newRow("Ctrl+Backspace after a line break takes CR and LF")
        << after_break << after_break << ctrl_backspace << "" << line_break << 2 << QByteArray();

    QTest::newRow("pasting LF, CR LF and CR")
        << 10 << 10 << paste << "a\nb\r\nc\rd" << 10 << 0 << QByteArray("a\r\nb\r\nc\r\nd");
    QTest::newRow("pasting Unicode breaks")
        << 10 << 10 << paste << "a\u2029b\u2028c" << 10 << 0 << QByteArray("a\r\nb\r\nc");
    QTest::newRow("pasting Cyrillic and unmappables over a selection")
        << from << to << paste << "ёЁ漢€😀" << from << to - from << Bytes(Cp("ёЁ") + "?\x88?");
}

void tst_ResultsBox::edits() {
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(QList<int>, keys);
    QFETCH(QString, typed);
    QFETCH(int, at);
    QFETCH(int, removed);
    QFETCH(QByteArray, inserted);

    ResultsBox box;
    QVERIFY(Show(box));
    const std::string text = Words(300) + "\r\n" + Words(300, 300);
    box.SetResultsText(text);
    box.SetSelection(static_cast<std::size_t>(anchor), static_cast<std::size_t>(caret));
    const bool pasting = keys.contains((Qt::ControlModifier | Qt::Key_V).toCombined());
    if (pasting) QApplication::clipboard()->setText(typed);

    for (const int key : keys) Press(&box, key);
    if (!pasting && !typed.isEmpty()) Type(&box, typed);

    const std::string expected = Edited(text, at, removed, inserted);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(expected));
    QCOMPARE(box.CaretOffset(), box.AnchorOffset());
    QCOMPARE(box.CaretOffset(), static_cast<std::size_t>(at + inserted.size()));

    // Undo selects the bytes it puts back, redo those the edit put in.
    UndoAll(box);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(text));
    QCOMPARE(box.AnchorOffset(), static_cast<std::size_t>(at));
    QCOMPARE(box.CaretOffset(), static_cast<std::size_t>(at + removed));
    while (box.CanRedo()) Press(&box, (Qt::ControlModifier | Qt::Key_Y).toCombined());
    QCOMPARE(Bytes(box.ResultsText()), Bytes(expected));
    QCOMPARE(box.AnchorOffset(), static_cast<std::size_t>(at));
    QCOMPARE(box.CaretOffset(), static_cast<std::size_t>(at + inserted.size()));
    QVERIFY(StaysExactOnAppending(box, expected));
}

void tst_ResultsBox::caretMoves_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("anchor");
    const QByteArray words = Bytes(Words(200));  // " слово0 слово1 ...": many lines
    const int ctrl = Qt::ControlModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("Ctrl+Right to the next word")
        << words << 1 << QList<int>{ctrl | Qt::Key_Right} << 8 << 8;
    QTest::newRow("Ctrl+Left to the word's start")
        << words << 5 << QList<int>{ctrl | Qt::Key_Left} << 1 << 1;
    QTest::newRow("Ctrl+Left over a line break")
        << QByteArray("ab\r\ncd") << 4 << QList<int>{ctrl | Qt::Key_Left} << 2 << 2;
    QTest::newRow("Shift+Right selects")
        << words << 3 << QList<int>{shift | Qt::Key_Right} << 4 << 3;
    QTest::newRow("Down and Up come back to the column")
        << words << 5 << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up} << 5 << 5;
    QTest::newRow("Home, then End of the same line")
        << words << 5 << QList<int>{Qt::Key_Home} << 0 << 0;
    QTest::newRow("Ctrl+End") << words << 5 << QList<int>{ctrl | Qt::Key_End}
                              << static_cast<int>(words.size()) << static_cast<int>(words.size());
    QTest::newRow("Ctrl+A") << words << 5 << QList<int>{ctrl | Qt::Key_A}
                            << static_cast<int>(words.size()) << 0;
    QTest::newRow("Right with a selection goes to its end")
        << words << 3 << QList<int>{shift | Qt::Key_Right, shift | Qt::Key_Right, Qt::Key_Right}
        << 5 << 5;
    QTest::newRow("Up on the first line goes to the start")
        << words << 5 << QList<int>{Qt::Key_Up} << 0 << 0;
    QTest::newRow("Down from the end of a line into a short one")
        << QByteArray("abcdef\r\nab") << 5 << QList<int>{Qt::Key_Down} << 10 << 10;
    QTest::newRow("Down through a short line keeps the column")
        << QByteArray("abcdef\r\nab\r\nabcdef") << 5 << QList<int>{Qt::Key_Down, Qt::Key_Down} << 17
        << 17;
    // End keeps the caret on its line: before the blank a wrapped line ends in (-1: where the
    // first line wraps), after all the blanks before a line break or the end.
    QTest::newRow("End on a wrapped line") << words << 5 << QList<int>{Qt::Key_End} << -1 << -1;
    QTest::newRow("End before a line break after blanks")
        << QByteArray("ab   \r\ncd") << 1 << QList<int>{Qt::Key_End} << 5 << 5;
    QTest::newRow("End at the end after blanks")
        << QByteArray("ab  ") << 1 << QList<int>{Qt::Key_End} << 4 << 4;
    QTest::newRow("Shift+End to blanks before a line break")
        << QByteArray("ab \r\n") << 0 << QList<int>{shift | Qt::Key_End} << 3 << 0;
}

void tst_ResultsBox::caretMoves() {
    QFETCH(QByteArray, text);
    QFETCH(int, from);
    QFETCH(QList<int>, keys);
    QFETCH(int, to);
    QFETCH(int, anchor);
    ResultsBox box;
    QVERIFY(Show(box));
    box.SetResultsText(text.toStdString());
    box.SetSelection(static_cast<std::size_t>(from), static_cast<std::size_t>(from));
    // Where the first line wraps: what a click past its end gives.
    const std::size_t wrap = box.OffsetAt(QPoint(box.viewport()->width(), ResultsBox::kMargin));
    const auto resolve = [wrap](int at) {
        return at == -1 ? wrap - 1 : static_cast<std::size_t>(at);
    };
    for (const int key : keys) Press(&box, key);
    QCOMPARE(box.CaretOffset(), resolve(to));
    QCOMPARE(box.AnchorOffset(), resolve(anchor));
    QCOMPARE(Bytes(box.ResultsText()), text);
}

void tst_ResultsBox::clicks_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("letter");   // clicked at
    QTest::addColumn<int>("eighths");  // of its width from its left edge
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    const QByteArray words = Bytes(Words(2));    // " слово0 слово1"
    const std::string second = Words(100, 100);  // nine bytes a word
    const auto paragraph = static_cast<int>(Words(100).size() + 2);
    const QByteArray paragraphs = Bytes(Words(100) + "\r\n" + second + "\r\n" + Words(10, 200));
    QTest::newRow("left half of a letter") << words << 3 << 2 << 1 << 3 << 3;
    QTest::newRow("right half of a letter") << words << 3 << 6 << 1 << 4 << 4;
    QTest::newRow("right half of a letter before a line break")
        << QByteArray("abc\r\ndef") << 2 << 6 << 1 << 3 << 3;
    QTest::newRow("double click on a word") << words << 10 << 4 << 2 << 8 << 14;
    QTest::newRow("double click on a blank") << words << 7 << 4 << 2 << 7 << 8;
    QTest::newRow("triple click on a wrapped paragraph's middle line")
        << paragraphs << paragraph + 9 * 50 + 3 << 4 << 3 << paragraph
        << paragraph + static_cast<int>(second.size());
}

void tst_ResultsBox::clicks() {
    QFETCH(QByteArray, text);
    QFETCH(int, letter);
    QFETCH(int, eighths);
    QFETCH(int, clicks);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    ResultsBox box;
    QVERIFY(Show(box));
    box.SetResultsText(text.toStdString());
    const auto at = static_cast<std::size_t>(letter);
    box.SetSelection(at, at);  // on screen
    const QRect left = box.CaretRect(at);
    const QRect right = box.CaretRect(at + 1);
    QCOMPARE(right.top(), left.top());
    const double x = left.left() + (right.left() - left.left()) * eighths / 8.0;
    Click(box, QPointF(x, left.center().y()), clicks);
    QCOMPARE(box.AnchorOffset(), static_cast<std::size_t>(anchor));
    QCOMPARE(box.CaretOffset(), static_cast<std::size_t>(caret));
}

void tst_ResultsBox::typingRuns_data() {
    QTest::addColumn<QList<int>>("between");  // keys between two letters; -1 a word appended,
                                              // -2 a click where the caret is
    QTest::addColumn<int>("steps");
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("letters in a row") << QList<int>{} << 1;
    QTest::newRow("Shift pressed alone") << QList<int>{Qt::Key_Shift} << 1;
    QTest::newRow("Ctrl+C with nothing selected") << QList<int>{ctrl | Qt::Key_C} << 1;
    QTest::newRow("a word the search appends") << QList<int>{-1} << 1;
    QTest::newRow("Left and Right, back to the same place")
        << QList<int>{Qt::Key_Left, Qt::Key_Right} << 2;
    QTest::newRow("a click where the caret is") << QList<int>{-2} << 2;
    QTest::newRow("Ctrl+Z and Ctrl+Y") << QList<int>{ctrl | Qt::Key_Z, ctrl | Qt::Key_Y} << 2;
    QTest::newRow("Backspace") << QList<int>{Qt::Key_Backspace} << 3;
    QTest::newRow("Enter") << QList<int>{Qt::Key_Return} << 3;
}

// Typing in a row is one step of the history: which presses in between end the run.
void tst_ResultsBox::typingRuns() {
    QFETCH(QList<int>, between);
    QFETCH(int, steps);
    ResultsBox box;
    QVERIFY(Show(box));
    box.SetResultsText("0123456789");
    box.SetSelection(5, 5);
    Type(&box, QStringLiteral("ж"));
    for (const int key : between) {
        if (key == -1) {
            box.AppendWord("x");
        } else if (key == -2) {
            Click(box, box.CaretRect(box.CaretOffset()).center(), 1);
        } else {
            Press(&box, key);
        }
    }
    const std::string before = box.ResultsText();
    const auto from = static_cast<int>(box.SelectionStart());
    const auto selected = static_cast<int>(box.SelectionEnd()) - from;
    Type(&box, QStringLiteral("ю"));
    QCOMPARE(Bytes(box.ResultsText()), Bytes(Edited(before, from, selected, Bytes(Cp("ю")))));
    QCOMPARE(UndoAll(box), steps);
}

void tst_ResultsBox::copyAndCutGiveLineBreaksAsNewlines() {
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

    box.Cut();
    QCOMPARE(QApplication::clipboard()->text(), expected);
    const std::string cut = Edited(text, 50, static_cast<int>(to - from), {});
    QCOMPARE(Bytes(box.ResultsText()), Bytes(cut));

    // With no memory for the copy, Ctrl+C and Ctrl+X say so in the box's words, and the text stays.
    QStringList errors;
    bukvotok::ReplaceErrorBox([&errors](const QString&, const QString& shown) { errors << shown; });
    box.SetSelection(5, 20);
    bukvotok::growing_array_fails_for_tests = [] { return true; };
    Press(&box, (Qt::ControlModifier | Qt::Key_C).toCombined());
    Press(&box, (Qt::ControlModifier | Qt::Key_X).toCombined());
    bukvotok::growing_array_fails_for_tests = nullptr;
    bukvotok::ReplaceErrorBox({});
    QCOMPARE(errors, QStringList(2, QString::fromUtf8(bukvotok::kResultsOutOfMemory)));
    QCOMPARE(Bytes(box.ResultsText()), Bytes(cut));

    // The copy keeps the bytes copied whatever the text does next, and goes back in as they are.
    box.SelectAll();
    Type(&box, QStringLiteral("x"));
    Press(&box, (Qt::ControlModifier | Qt::Key_V).toCombined());
    QCOMPARE(Bytes(box.ResultsText()), Bytes("x" + copied));
    QCOMPARE(QApplication::clipboard()->text(), expected);

    // Made for another program a piece at a time, behind the progress dialog when that takes
    // long (here at once): a few blocks, the first ending between CR and LF.
    const std::string blocks = std::string((1 << 20) - 1, 'a') + "\r\n" + Cp("€№ё") + Words(300000);
    std::string utf8_expected = bukvotok::Cp1251ToUtf8(blocks);
    utf8_expected.replace(utf8_expected.find("\r\n"), 2, "\n");
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

void tst_ResultsBox::dropsInsertAndMove() {
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
    QVERIFY(StaysExactOnAppending(box, expected));

    // A new text while a drag is over the box: the drop place must not outlive the old text.
    box.SetSelection(box.ResultsSize(), box.ResultsSize());
    QDragEnterEvent again(QPoint(200, 90), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &again);
    box.Clear();
    box.viewport()->repaint();
    QCOMPARE(box.ResultsText(), std::string());
}

void tst_ResultsBox::movingTheSelectionLandsWhereDropped_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("at");
    QTest::newRow("forward") << 10 << 20 << 50;
    QTest::newRow("backward") << 50 << 60 << 10;
    QTest::newRow("over a line break") << 1 << 5 << 1000;
}

void tst_ResultsBox::movingTheSelectionLandsWhereDropped() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, at);
    ResultsBox box;
    const std::string text = Words(100) + "\r\n" + Words(100, 100);
    box.SetResultsText(text);
    box.SetSelection(static_cast<std::size_t>(from), static_cast<std::size_t>(to));

    box.MoveSelectionTo(static_cast<std::size_t>(at));

    const std::string selected =
        text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    const int lands = at > from ? at - (to - from) : at;
    const std::string expected =
        Edited(Edited(text, from, to - from, {}), lands, 0, Bytes(selected));
    QCOMPARE(Bytes(box.ResultsText()), Bytes(expected));
    QCOMPARE(box.SelectedText().toStdString(), bukvotok::Cp1251ToUtf8(selected));
    QVERIFY(box.CanUndo());  // one step, undone whole
    box.Undo();
    QCOMPARE(Bytes(box.ResultsText()), Bytes(text));
}

// Edits go back while words arrive, the history gives way to the words of a search started
// after the edits, never to those of a search the edits were made in, and undo and redo with
// nothing to do do nothing, quietly.
void tst_ResultsBox::undoPutsBackEditsAroundTheWordsThatArrived() {
    ResultsBox box;
    QVERIFY(Show(box));
    QStringList errors;
    bukvotok::ReplaceErrorBox([&errors](const QString&, const QString& text) { errors << text; });
    const auto press = [&box](QKeyCombination key) { Press(&box, key.toCombined()); };
    const QKeyCombination undo(Qt::ControlModifier, Qt::Key_Z);
    const QKeyCombination redo(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    const QKeyCombination redo_y(Qt::ControlModifier, Qt::Key_Y);
    press(undo);
    press(redo_y);
    Type(&box, QStringLiteral("п"));
    press(undo);
    press(undo);
    press(redo);
    press(redo);
    QCOMPARE(errors, QStringList());
    QCOMPARE(Bytes(box.ResultsText()), Bytes(Cp("п")));

    const std::string text = Words(150000);
    box.SetCapacity(text.size() + 65536);
    box.SetResultsText(text);
    box.SetSelection(10, 20);
    Type(&box, QStringLiteral("ж"));
    Type(&box, QStringLiteral("ю"));  // the same step
    for (int i = 0; i < 3; ++i) box.AppendWord(Cp("слово"));
    const std::string words = Cp(" слово слово слово");
    const std::string edited = Edited(text, 10, 10, Bytes(Cp("жю"))) + words;
    QCOMPARE(Bytes(box.ResultsText()), Bytes(edited));

    press(undo);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(text + words));
    press(redo);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(edited));
    press(undo);
    press(redo_y);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(edited));

    // Everything replaced by a letter: the history holds the text, and when the words of a
    // search started later need its room, the box asks once.  "Нет" ends the search with the
    // box as it was; "Да" lets the text go.
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_A));
    Type(&box, QStringLiteral("x"));
    QVERIFY(box.HistoryBytes() >= edited.size());
    QStringList questions;
    bool forget = false;
    bukvotok::ReplaceQuestionBox([&](const QString&, const QString& question) {
        questions << question;
        return forget;
    });
    box.BeginSearch();
    std::string appended;
    const auto fill = [&] {
        while (box.CanUndo()) {
            box.AppendWord(Cp("слово"));
            appended += Cp(" слово");
        }
    };
    // Words handed over together go in together only within the room for plain appends, the
    // rest one by one: one a byte past the room pushes out the small step, the words after it
    // take its room, and the question comes at the first that finds none.
    const std::size_t room = box.PlainAppendRoom();
    const std::string long_word = " " + std::string(room, 'a');
    std::size_t taken = 0;
    box.AppendWords(long_word, taken);
    QCOMPARE(taken, long_word.size());
    QVERIFY(box.ResultsSize() + box.HistoryBytes() <= box.Capacity());
    std::string words_after;
    while (words_after.size() < 1000) words_after += Cp(" слово");
    taken = 0;
    QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsKeptError, box.AppendWords(words_after, taken));
    QVERIFY(taken % 6 == 0 && taken < words_after.size());
    QVERIFY(box.ResultsSize() + box.HistoryBytes() + 6 > box.Capacity());
    appended = long_word + words_after.substr(0, taken);
    QCOMPARE(Bytes(box.ResultsText()), Bytes("x" + appended));
    QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsKeptError, box.AppendWord(Cp("слово")));
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions.front().contains(QStringLiteral("Забыть его и искать дальше?")));
    box.EndSearch();
    QVERIFY(box.HistoryBytes() >= edited.size());
    const std::string held = box.ResultsText();
    press(undo);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(edited + appended));
    press(redo);
    QCOMPARE(box.ResultsText(), held);
    forget = true;
    box.BeginSearch();
    fill();
    QCOMPARE(questions.size(), 2);
    QCOMPARE(Bytes(box.ResultsText()), Bytes("x" + appended));
    QVERIFY(box.HistoryBytes() < 1000);
    bukvotok::ReplaceQuestionBox({});

    // "Очистить" is a step: made while the search runs, its words are refused rather than
    // push it out, and Ctrl+Z gives the text back.
    const std::string before_clear = box.ResultsText();
    box.Clear();
    QCOMPARE(box.ResultsSize(), std::size_t{0});
    while (box.ResultsSize() + 6 + box.HistoryBytes() <= box.Capacity()) box.AppendWord("abcde");
    QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsFullError, box.AppendWord("abcde"));
    box.EndSearch();
    const std::string after_clear = box.ResultsText();
    press(undo);
    QCOMPARE(Bytes(box.ResultsText()), Bytes(before_clear + after_clear));
    QCOMPARE(errors, QStringList());
    bukvotok::ReplaceErrorBox({});
}

// A box a letter wide puts every byte on a line of its own: past 2^24 lines, which a float
// no longer counts exactly, the caret stays on its row and each row gives its own offset.
void tst_ResultsBox::pastTwoToTheTwentyFourLinesTheCaretAndClicksStayExact() {
    ResultsBox box;
    box.resize(16, 113);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const std::size_t size = (std::size_t{1} << 24) + 101;
    box.SetResultsText(std::string(size, 'x'));
    const QRect caret = box.CaretRect(size);
    QVERIFY(caret.top() >= 0);
    QVERIFY(caret.bottom() < box.viewport()->height());
    std::size_t previous = 0;
    for (int row = 0; row < box.VisibleLines(); ++row) {
        const int y = ResultsBox::kMargin + row * caret.height() + caret.height() / 2;
        const std::size_t offset = box.OffsetAt(QPoint(ResultsBox::kMargin, y));
        QCOMPARE(offset, box.TopOffset() + static_cast<std::size_t>(row));
        QVERIFY(offset > previous);
        previous = offset;
    }
}

void tst_ResultsBox::followsTheEndOnlyFromTheEnd_data() {
    QTest::addColumn<int>("anchor");  // -1: the end
    QTest::addColumn<int>("caret");
    QTest::addColumn<QList<int>>("wheel");  // turned before the words arrive
    QTest::addColumn<bool>("follows");
    const QList<int> none;
    QTest::newRow("caret at the end") << -1 << -1 << none << true;
    QTest::newRow("caret elsewhere") << 5 << 5 << none << false;
    QTest::newRow("selection") << 2 << 10 << none << false;
    QTest::newRow("selection to the end") << 0 << -1 << none << false;
    QTest::newRow("selection from the end") << -1 << 3 << none << false;
    // As a terminal: the wheel away from the end stops the view there, back to the end it follows.
    QTest::newRow("scrolled away") << -1 << -1 << QList<int>{120} << false;
    QTest::newRow("scrolled away and back") << -1 << -1 << QList<int>{120, -120 * 1000} << true;
}

void tst_ResultsBox::followsTheEndOnlyFromTheEnd() {
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(QList<int>, wheel);
    QFETCH(bool, follows);

    ResultsBox box;
    QVERIFY(Show(box));
    box.SetResultsText(Words(2000));
    const auto resolve = [&box](int at) {
        return at == -1 ? box.ResultsSize() : static_cast<std::size_t>(at);
    };
    box.SetSelection(resolve(anchor), resolve(caret));
    for (const int delta : wheel) {
        const QPointF at(20, 20);
        QWheelEvent event(at, box.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box.viewport(), &event);
    }
    const std::size_t top = TopShown(box);
    const std::size_t anchor_before = box.AnchorOffset();
    const std::size_t caret_before = box.CaretOffset();

    for (int burst = 0; burst < 5; ++burst) {
        QVERIFY(AppendAndWaitForRefresh(box, Words(100, 10000 + burst * 100), burst % 2 == 1));
    }

    if (anchor == -1 && caret == -1) {
        QCOMPARE(box.AnchorOffset(), box.ResultsSize());  // typing still goes at the end
        QCOMPARE(box.CaretOffset(), box.ResultsSize());
    } else {
        QCOMPARE(box.AnchorOffset(), anchor_before);
        QCOMPARE(box.CaretOffset(), caret_before);
    }
    QCOMPARE(TopShown(box) == top, !follows);
    QCOMPARE(EndShown(box), follows);
}

void tst_ResultsBox::aFullBoxRefusesMoreAndKeepsItsText() {
    QStringList errors;
    bukvotok::ReplaceErrorBox([&errors](const QString&, const QString& text) { errors << text; });
    ResultsBox box;
    QVERIFY(Show(box));
    box.SetCapacity(20);
    box.AppendResultsText(" 0123456789");

    QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsFullError, box.AppendResultsText(" 0123456789"));
    std::size_t taken = 0;  // words handed over together: the first is a byte past the room
    QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsFullError, box.AppendWords(" 012345678 9", taken));
    QCOMPARE(taken, std::size_t{0});
    QCOMPARE(box.ResultsText(), std::string(" 0123456789"));

    // Typing and pasting past the limit are refused whole, with a message; a paste before
    // anything is made of it, from another program or from the box itself.
    static int growths = 0;
    const auto counted = [] { return ++growths, false; };
    const std::size_t memory = box.MemoryBytes();
    Type(&box, QStringLiteral("abcdefghij"));
    QApplication::clipboard()->setText(QStringLiteral("abcdefghij"));
    bukvotok::growing_array_fails_for_tests = counted;
    Press(&box, (Qt::ControlModifier | Qt::Key_V).toCombined());
    bukvotok::growing_array_fails_for_tests = nullptr;
    box.SelectAll();
    box.Copy();
    box.SetSelection(0, 1);
    bukvotok::growing_array_fails_for_tests = counted;
    Press(&box, (Qt::ControlModifier | Qt::Key_V).toCombined());
    bukvotok::growing_array_fails_for_tests = nullptr;
    QCOMPARE(growths, 0);
    QCOMPARE(box.ResultsText(), std::string(" 0123456789"));
    QCOMPARE(box.MemoryBytes(), memory);
    QCOMPARE(box.HistoryBytes(), std::size_t{0});
    QCOMPARE(errors, QStringList(3, QStringLiteral("Поле найденных совпадений вмещает не больше "
                                                   "20 байт: текст не добавлен.")));

    // Up to the limit still goes in, and another program's text in place of a selection as
    // much as the selection makes room for.
    box.SetSelection(box.ResultsSize(), box.ResultsSize());
    Type(&box, QStringLiteral("abcdefghi"));
    QCOMPARE(box.ResultsText(), std::string(" 0123456789abcdefghi"));
    QApplication::clipboard()->setText(QStringLiteral("ABCDEFGHIJ"));
    box.SetSelection(1, 11);
    Press(&box, (Qt::ControlModifier | Qt::Key_V).toCombined());
    QCOMPARE(box.ResultsText(), std::string(" ABCDEFGHIJabcdefghi"));
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

// Past a few megabytes a change of width lays the lines out behind the screen: the text at the
// top stays there, and a key that moves by lines moves as it does in a box laid out afresh,
// whether it comes before the lines are all in or after.  An undo after the change shows the
// lines at the new width too, though the deletion it undoes was made at the old one.
void tst_ResultsBox::aWidthChangeKeepsItsPlaceAndKeysMoveByTheNewLines() {
    const std::string text = Words(500000);
    const std::size_t middle = text.size() / 2 + 3;
    ResultsBox fresh;
    QVERIFY(Show(fresh));
    fresh.resize(fresh.width() - 60, fresh.height());
    fresh.SetResultsText(text);
    fresh.SetSelection(middle, middle);
    Press(&fresh, Qt::Key_Down);

    ResultsBox box;
    QVERIFY(Show(box));
    box.SetResultsText(text);
    box.SetSelection(1000, 3000000);
    Press(&box, Qt::Key_Delete);
    box.SetSelection(box.ResultsSize() / 2, box.ResultsSize() / 2);
    const QPoint first_row(ResultsBox::kMargin, ResultsBox::kMargin + 1);
    const std::size_t top = box.OffsetAt(first_row);
    const std::size_t laid_out = box.Lines().LinesLaidOut();
    box.resize(box.width() - 60, box.height());
    box.viewport()->repaint();
    // The text has some 70,000 lines: the paint lays out what it shows, from a place close by.
    QVERIFY(box.Lines().LinesLaidOut() - laid_out < 1000);
    QCOMPARE(box.CaretRect(top).top(), box.CaretRect(box.OffsetAt(first_row)).top());
    // When the lines laid out behind come in, the text at the top stays on the top line.
    const std::size_t shown = box.TopOffset();
    QTRY_VERIFY(!box.Lines().Pending());
    QVERIFY(box.TopOffset() <= shown && shown < box.Lines().LineAt(box.TopOffset()).end);
    Press(&box, (Qt::ControlModifier | Qt::Key_Z).toCombined());
    box.SetSelection(middle, middle);
    Press(&box, Qt::Key_Down);
    QCOMPARE(box.CaretOffset(), fresh.CaretOffset());
    box.Lines().Finish();
    fresh.Lines().Finish();
    for (std::size_t at = 0; at < text.size(); at += text.size() / 97) {
        QCOMPARE(box.Lines().LineAt(at), fresh.Lines().LineAt(at));
    }
}

// Ctrl+A, Ctrl+C, Ctrl+End, Ctrl+V, again and again: each round doubles the text, and the
// copies share their bytes; the text stays in few pieces, and its memory is what it takes.
void tst_ResultsBox::copiesPastedIntoItselfKeepTheTextInFewPieces() {
    ResultsBox box;
    QVERIFY(Show(box));
    QApplication::clipboard()->setText(QStringLiteral(" кот"));
    const auto press = [&box](QKeyCombination key) { Press(&box, key.toCombined()); };
    press(QKeyCombination(Qt::ControlModifier, Qt::Key_V));
    // Another program's few letters take the room they need, not a block's.
    QVERIFY2(box.MemoryBytes() < bukvotok::BlockBytes::kBlockSize / 8,
             qPrintable(QString::number(box.MemoryBytes())));
    for (int round = 0; round < 22; ++round) {
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_C, Qt::Key_End, Qt::Key_V}) {
            press(QKeyCombination(Qt::ControlModifier, key));
        }
    }
    QCOMPARE(box.ResultsSize(), std::size_t{4} << 22);  // 16 MiB
    QVERIFY2(box.Pieces() <= 16 * 16, qPrintable(QString::number(box.Pieces())));
    QVERIFY2(box.MemoryBytes() < box.ResultsSize() / 4,
             qPrintable(QString::number(box.MemoryBytes())));
    box.SetSelection(0, 0);
    Type(&box, QStringLiteral("ж"));
    QCOMPARE(Bytes(box.ResultsText(0, 9)), Bytes(Cp("ж кот кот")));
    QVERIFY(box.Pieces() <= 16 * 16);
}

// What the box says when room runs out, in each case it can: each message true of the box as it
// is, and offering what can be done.
void tst_ResultsBox::refusalsSayWhatHappenedAndWhatCanBeDone() {
    QStringList errors;
    QStringList questions;
    bool answer = false;
    bukvotok::ReplaceErrorBox([&errors](const QString&, const QString& text) { errors << text; });
    bukvotok::ReplaceQuestionBox([&](const QString&, const QString& text) {
        questions << text;
        return answer;
    });
    const auto fill = [](ResultsBox& box) {
        while (true) box.AppendWord("abcdefghi");
    };
    const auto select_all_and_delete = [](ResultsBox& box, std::size_t to) {
        box.SetSelection(0, to);
        box.DeleteSelection();
    };

    // A paste undone before the search: Ctrl+Y brings it back, not Ctrl+Z; with a deletion done
    // before it, both.
    for (const bool deleted : {false, true}) {
        questions.clear();
        ResultsBox box;
        box.SetCapacity(1 << 20);
        box.SetResultsText(Words(40000));
        if (deleted) select_all_and_delete(box, 8192);
        QApplication::clipboard()->setText(QString(100000, QLatin1Char('p')));
        box.SetSelection(box.ResultsSize(), box.ResultsSize());
        box.Paste();
        box.Undo();
        box.BeginSearch();
        QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsKeptError, fill(box));
        box.EndSearch();
        QCOMPARE(questions, QStringList{QStringLiteral("0,1 МБ удалённого текста ещё можно вернуть "
                                                       "(%1), но он не сохранён. Забыть его и "
                                                       "искать дальше?")
                                            .arg(deleted ? "Ctrl+Z и Ctrl+Y" : "Ctrl+Y")});
    }
    // Two deletions, "Очистить", and a paste that needs the room of the deletions but not of
    // what was cleared: the box asks, as the search does, naming what stands in the way; "Нет"
    // leaves everything as it was, "Да" lets only that go.
    {
        questions.clear();
        ResultsBox box;
        box.SetCapacity(4 << 20);
        const std::string text(4'000'000, 'w');
        box.SetResultsText(text);
        select_all_and_delete(box, 1'000'000);
        select_all_and_delete(box, 1'000'000);
        box.Clear();
        QApplication::clipboard()->setText(QString(3'000'000, QLatin1Char('p')));
        box.Paste();
        QCOMPARE(box.ResultsSize(), std::size_t{0});
        QCOMPARE(questions,
                 QStringList{"1,9 МБ удалённого текста ещё можно вернуть (Ctrl+Z), но он не "
                             "сохранён, а правке нужно его место. Забыть его и сделать правку?"});
        answer = true;
        box.Paste();
        QCOMPARE(box.ResultsSize(), std::size_t{3'000'000});
        QCOMPARE(questions.size(), 2);
        answer = false;
        box.Undo();
        box.Undo();
        QVERIFY(box.ResultsSize() == 2'000'000 && !box.CanUndo());
    }
    // Text and history that come to the limit and its allowance exactly, with two deletions
    // kept: typing over a selection and "Очистить" ask for the room of the older one. "Нет"
    // leaves the text and the selection as they were; "Да" lets go of that one only.
    {
        questions.clear();
        ResultsBox box;
        const std::size_t limit = 1 << 20;  // and as much again allowed the user's edits
        const std::size_t step = sizeof(bukvotok::EditStep);
        box.SetCapacity(limit);
        box.SetResultsText(std::string(limit, 'w'));
        select_all_and_delete(box, limit - 3 * step);
        QApplication::clipboard()->setText(QString(limit - 3 * step, QLatin1Char('p')));
        box.SetSelection(box.ResultsSize(), box.ResultsSize());
        box.Paste();
        select_all_and_delete(box, 8192);
        QCOMPARE(box.ResultsSize() + box.HistoryBytes(), 2 * limit);
        box.SetSelection(10, 20);
        Type(&box, QStringLiteral("ab"));
        box.Clear();
        QCOMPARE(questions.size(), 2);
        QCOMPARE(box.ResultsSize(), limit - 8192);
        QVERIFY(box.AnchorOffset() == 10 && box.CaretOffset() == 20);
        answer = true;
        box.Clear();
        answer = false;
        QCOMPARE(box.ResultsSize(), std::size_t{0});
        QCOMPARE(box.Kept().Total(), limit);  // what was cleared, and the later deletion
    }
    // "Очистить" during a search: the box is half empty, and says what takes its room.
    {
        questions.clear();
        ResultsBox box;
        box.SetCapacity(1 << 20);
        box.BeginSearch();
        for (int i = 0; i < 50000; ++i) box.AppendWord("abcdefghi");
        box.Clear();
        try {
            fill(box);
        } catch (const bukvotok::ResultsFullError& error) {
            errors << QString::fromUtf8(error.what());
        }
        box.EndSearch();
        QCOMPARE(errors,
                 QStringList{"Поиск остановлен: место в поле найденных совпадений (предел — 1 МБ) "
                             "занимает удалённый текст (0,5 МБ), который ещё можно вернуть "
                             "(Ctrl+Z). Всё найденное осталось в поле. Чтобы искать дальше, "
                             "сохраните найденное в файл и очистите поле; чтобы сохранить и то, "
                             "что удалено, сначала верните его (Ctrl+Z)."});
        QVERIFY(questions.isEmpty());
    }
    // Kept text from before the search, and more removed during it than letting that go would
    // free: no question, whose "Да" would lose the text and stop the search all the same.
    {
        errors.clear();
        ResultsBox box;
        box.SetCapacity(1 << 20);
        box.SetResultsText(Words(90000));
        select_all_and_delete(box, 8192);
        box.BeginSearch();
        select_all_and_delete(box, 300000);
        QApplication::clipboard()->setText(QString(300000, QLatin1Char('p')));
        box.SetSelection(box.ResultsSize(), box.ResultsSize());
        box.Paste();
        QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsFullError, box.AppendWord("abcdefghi"));
        box.EndSearch();
        QVERIFY(questions.isEmpty());
    }
    // Kept text in the way of an edit that could not be undone even without it: no question,
    // and the message says why.
    {
        errors.clear();
        ResultsBox box;
        box.SetCapacity(1 << 20);
        box.SetResultsText(std::string(1 << 20, 'w'));
        select_all_and_delete(box, 8192);
        Type(&box, QString(8192, QLatin1Char('w')));
        box.SelectAll();
        QApplication::clipboard()->setText(QString(1 << 20, QLatin1Char('p')));
        box.Paste();
        QCOMPARE(box.ResultsSize(), std::size_t{1} << 20);
        QVERIFY(questions.isEmpty());
        QCOMPARE(errors, QStringList{"Поле найденных совпадений заполнено (предел — 1 МБ): правку "
                                     "нельзя было бы отменить, текст не изменён."});
    }
    // A search inside a search that fills the box: one message, and the outer one ends quietly.
    {
        ResultsBox box;
        box.SetCapacity(4096);
        box.BeginSearch();
        box.BeginSearch();
        QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsFullError, fill(box));
        box.EndSearch();
        QVERIFY_THROWS_EXCEPTION(bukvotok::ResultsKeptError, box.AppendWord("abcdefghi"));
        box.EndSearch();
    }
    // Text another program offered, that never came in the time the clipboard waits for it:
    // the paste says so.
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
    bukvotok::ReplaceQuestionBox({});
    bukvotok::ReplaceErrorBox({});
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

QTEST_MAIN(tst_ResultsBox)
#include "tst_ResultsBox.moc"
