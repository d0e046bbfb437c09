// Where the results box wraps its text, checked against laying the whole text out again.
#include <QtTest>
#include <random>
#include <string>
#include <vector>

#include "WrappedText.h"

using bukvotok::TextMetrics;
using bukvotok::WrappedText;

namespace {

// Narrow and wide letters, so that lines end at different places for different words; 'a' is
// 4 wide, 'b' 5 and a space 2.
TextMetrics Metrics(float width) {
    TextMetrics metrics;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        metrics.advance[byte] = 3.0f + static_cast<float>(byte % 7);
    }
    metrics.advance['a'] = 4;
    metrics.advance['b'] = 5;
    metrics.advance[' '] = 2;
    metrics.tab_stop = 16;
    metrics.width = width;
    return metrics;
}

std::vector<std::size_t> Lines(WrappedText& text) {
    std::vector<std::size_t> starts;
    for (std::size_t line = 0; line < text.LineCount(); ++line)
        starts.push_back(text.LineStart(line));
    return starts;
}

std::vector<std::size_t> LaidOutAfresh(std::string_view bytes, const TextMetrics& metrics) {
    WrappedText fresh;
    fresh.SetMetrics(metrics);
    fresh.Assign(std::string(bytes));
    return Lines(fresh);
}

// Words of random lengths, some wider than a line, with now and then a tab or a line break.
std::string RandomText(std::minstd_rand& random, std::size_t words) {
    std::string text;
    for (std::size_t i = 0; i < words; ++i) {
        const auto kind = random() % 20;
        if (kind == 0) {
            text += "\r\n";
        } else if (kind == 1) {
            text += '\t';
        } else {
            text += ' ';
        }
        const std::size_t length = random() % 9 == 0 ? 30 + random() % 40 : 1 + random() % 10;
        for (std::size_t k = 0; k < length; ++k) text += static_cast<char>(0xE0 + random() % 31);
    }
    return text;
}

std::size_t RandomCaretOffset(std::minstd_rand& random, const WrappedText& text) {
    for (;;) {
        const std::size_t offset = random() % (text.Size() + 1);
        if (text.IsCaretOffset(offset)) return offset;
    }
}

}  // namespace

class tst_WrappedText : public QObject {
    Q_OBJECT

private slots:
    void linesEndWhereTheyShould_data();
    void linesEndWhereTheyShould();
    void appendsAndEditsLayOutAsAFreshText();
    void caretPlacesRoundTrip();
};

void tst_WrappedText::linesEndWhereTheyShould_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<float>("width");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("fits") << QByteArray("aa bb") << 100.0f << QList<int>{0};
    QTest::newRow("after the last space that fits")
        << QByteArray("aa aa aa") << 21.0f << QList<int>{0, 6};
    QTest::newRow("spaces run past the edge")
        << QByteArray("aaaa     bb") << 17.0f << QList<int>{0, 9};
    QTest::newRow("a word too wide breaks anywhere")
        << QByteArray("aaaaaaaa") << 13.0f << QList<int>{0, 3, 6};
    QTest::newRow("narrower than a letter: one a line")
        << QByteArray("ab") << 1.0f << QList<int>{0, 1};
    QTest::newRow("CR LF ends its line")
        << QByteArray("a\r\nb\r\n") << 100.0f << QList<int>{0, 3, 6};
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << 100.0f << QList<int>{0, 2, 4};
}

void tst_WrappedText::linesEndWhereTheyShould() {
    QFETCH(QByteArray, text);
    QFETCH(float, width);
    QFETCH(QList<int>, starts);
    WrappedText wrapped;
    wrapped.SetMetrics(Metrics(width));
    wrapped.Assign(text.toStdString());
    std::vector<std::size_t> expected(starts.begin(), starts.end());
    QCOMPARE(Lines(wrapped), expected);
}

// The fast paths (lazy appends, edits that lay out only what changed) against a fresh layout
// of the same bytes, over many random edits at random places and widths.
void tst_WrappedText::appendsAndEditsLayOutAsAFreshText() {
    std::minstd_rand random(7);
    for (int round = 0; round < 200; ++round) {
        const TextMetrics metrics = Metrics(8.0f + static_cast<float>(random() % 120));
        WrappedText text;
        text.SetMetrics(metrics);
        std::string model = RandomText(random, 50);
        text.Assign(model);
        for (int step = 0; step < 60; ++step) {
            if (step % 3 == 0) {
                const std::string more = RandomText(random, 1 + random() % 5);
                text.Append(more);
                model += more;
                if (step % 2 == 0) continue;  // several appends before the lines are asked for
            } else {
                std::size_t from = RandomCaretOffset(random, text);
                std::size_t to = RandomCaretOffset(random, text);
                if (from > to) std::swap(from, to);
                if (to - from > 40) to = from;
                const std::string inserted = RandomText(random, random() % 3);
                const std::string put = random() % 2 ? inserted.substr(0, random() % 4) : inserted;
                // Never leave a CR without its LF: cut the insertion after whole pieces only.
                const std::string safe = put.find('\r') == put.size() - 1 ? inserted : put;
                text.Replace(from, to, safe);
                model.replace(from, to - from, safe);
            }
            QCOMPARE(text.Copy(), model);
            QCOMPARE(Lines(text), LaidOutAfresh(model, metrics));
        }
    }
}

void tst_WrappedText::caretPlacesRoundTrip() {
    std::minstd_rand random(3);
    WrappedText text;
    text.SetMetrics(Metrics(60));
    text.Assign(RandomText(random, 200));
    for (std::size_t offset = 0; offset <= text.Size(); ++offset) {
        if (!text.IsCaretOffset(offset)) continue;
        const std::size_t line = text.LineOf(offset);
        QVERIFY(text.LineStart(line) <= offset && offset <= text.LineEnd(line));
        QCOMPARE(text.OffsetAt(line, text.X(offset)), offset);
    }
}

QTEST_APPLESS_MAIN(tst_WrappedText)
#include "tst_WrappedText.moc"
