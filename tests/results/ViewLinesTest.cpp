// Where the results box's lines wrap, and how much of the text the view lays out to show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "FailingAllocations.h"
#include "LineGeometry.h"
#include "ViewLines.h"

namespace bukvotok {
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

std::vector<std::size_t> Starts(ViewLines& lines) {
    std::vector<std::size_t> starts{0};
    for (std::optional<ViewLines::Line> line = lines.LineAt(0); (line = lines.LineAfter(*line));) {
        starts.push_back(line->start);
    }
    return starts;
}

std::vector<std::size_t> FreshStarts(const BlockBytes& text, const TextMetrics& metrics) {
    LineLayout layout;
    layout.SetMetrics(metrics);
    std::vector<std::size_t> starts{0};
    std::size_t start = 0;
    while ((start = layout.NextLineStart(text, start)) != LineLayout::kNoLine) {
        starts.push_back(start);
    }
    return starts;
}

// Words of random lengths, some wider than a line, with now and then a tab or a line break.
std::string RandomText(std::minstd_rand& random, std::size_t bytes) {
    std::string text;
    while (text.size() < bytes) {
        const auto kind = random() % 40;
        text += kind == 0 ? "\r\n" : kind == 1 ? "\t" : " ";
        const std::size_t length = random() % 9 == 0 ? 30 + random() % 40 : 1 + random() % 10;
        for (std::size_t k = 0; k < length; ++k) text += static_cast<char>(0xE0 + random() % 31);
    }
    return text;
}

TEST(ViewLinesTest, LinesEndWhereTheyShould) {
    struct Case {
        const char* name;
        std::string text;
        float width;
        std::vector<std::size_t> starts;
    };
    const Case cases[] = {
        {"fits", "aa bb", 100, {0}},
        {"after the last space that fits", "aa aa aa", 21, {0, 6}},
        {"spaces run past the edge", "aaaa     bb", 17, {0, 9}},
        {"a word too wide breaks anywhere", "aaaaaaaa", 13, {0, 3, 6}},
        {"narrower than a letter: one a line", "ab", 1, {0, 1}},
        {"CR LF ends its line", "a\r\nb\r\n", 100, {0, 3, 6}},
        {"empty lines", "\r\n\r\n", 100, {0, 2, 4}},
        {"letters the font draws as nothing still end", std::string(100, '\x01'), 0, {}},
        {"blanks run on for a line's longest at most, past a mark's walk too",
         "a" + std::string(300'000, ' ') + "b",
         10,
         {0, 1 << 16, 2 << 16, 3 << 16, 4 << 16, 300'001}},
        {"a line break after exactly a line's longest run of blanks is that line's",
         std::string(1 << 16, ' ') + "\r\nb",
         10,
         {0, (1 << 16) + 2}},
    };
    for (const Case& c : cases) {
        const BlockBytes text = BlockBytes::CopyOf(c.text, 4);
        ViewLines lines(text);
        TextMetrics metrics = Metrics(c.width);
        metrics.advance[1] = 0;
        lines.SetMetrics(metrics);
        lines.Finish();
        if (c.starts.empty()) {
            EXPECT_EQ(Starts(lines).size(), c.text.size()) << c.name;
        } else {
            EXPECT_EQ(Starts(lines), c.starts) << c.name;
        }
    }
}

TEST(ViewLinesTest, CaretPlacesRoundTrip) {
    std::minstd_rand random(3);
    const BlockBytes text = BlockBytes::CopyOf(RandomText(random, 2000), 64);
    ViewLines lines(text);
    lines.SetMetrics(Metrics(60));
    for (std::size_t offset = 0; offset <= text.size(); ++offset) {
        if (!text.IsCaretOffset(offset)) continue;
        const ViewLines::Line line = lines.LineAt(offset);
        ASSERT_TRUE(line.start <= offset && offset <= line.TextEnd()) << offset;
        const std::int64_t x = XOnLine(text, lines.Layout(), line, offset);
        ASSERT_EQ(OffsetAtX(text, lines.Layout(), line, x), offset);
    }
}

// A width change on a large text: the lines the view shows at once, the rest on the thread,
// while words are appended and the text is edited; in the end the lines of a fresh layout.
TEST(ViewLinesTest, AWidthChangeLaysOutWhatIsShownAtOnceAndTheRestBehind) {
    std::minstd_rand random(5);
    BlockBytes text = BlockBytes::CopyOf(RandomText(random, 4 << 20), 256 << 10);
    ViewLines lines(text);
    lines.SetMetrics(Metrics(300));
    lines.Finish();
    const std::size_t total = Starts(lines).size();

    lines.SetMetrics(Metrics(200));
    const std::size_t before = lines.LinesLaidOut();
    // What a screen of the middle and of the end asks for.
    for (const std::size_t at : {text.size() / 2, text.size()}) {
        auto line = lines.LineAt(at);
        for (int row = 0; row < 40; ++row) line = lines.LineAfter(line).value_or(line);
    }
    EXPECT_LT(lines.LinesLaidOut() - before, total / 50) << "only the lines shown";

    lines.LayOutSome();
    EXPECT_TRUE(lines.LayingOutBehind());
    text.Append(" appended meanwhile");
    lines.Appended();
    while (lines.Pending()) {
        lines.Poll();
        lines.LayOutSome();
        std::this_thread::yield();
    }
    EXPECT_TRUE(Starts(lines) == FreshStarts(text, Metrics(200)));

    // An edit cancels what the thread does, and laying out starts again before it.
    lines.SetMetrics(Metrics(250));
    lines.LayOutSome();
    lines.ReserveForEdit();
    BlockBytes word = BlockBytes::CopyOf("edit ", BlockBytes::kBlockSize);
    text.Splice(100, 100, std::move(word));
    lines.Edited(100, 0, 5);
    while (lines.Pending()) {
        lines.Poll();
        lines.LayOutSome();
        std::this_thread::yield();
    }
    EXPECT_TRUE(Starts(lines) == FreshStarts(text, Metrics(250)));
}

// One word repeated moves every line break after an edit near the top: the view's lines at the
// end are a guess at once, laid out from close by, and true once the rest is laid out.
TEST(ViewLinesTest, AnEditNearTheTopOfOneWordRepeatedLaysOutOnlyWhatIsShown) {
    std::string repeated;
    while (repeated.size() < (4 << 20)) repeated += " \xEA\xEE\xF2";
    BlockBytes text = BlockBytes::CopyOf(repeated, 256 << 10);
    ViewLines lines(text, LayoutTuning{.behind = false});
    lines.SetMetrics(Metrics(329));
    lines.Finish();
    const std::size_t total = Starts(lines).size();

    // A word typed at the top: every line after holds the words one later.
    lines.ReserveForEdit();
    text.Splice(0, 0, BlockBytes::CopyOf(" \xEA\xEE\xF2", 256 << 10));
    lines.Edited(0, 0, 4);
    lines.LayOutSome();
    const std::size_t before = lines.LinesLaidOut();
    auto line = lines.LineAt(text.size());
    for (int row = 0; row < 40; ++row) line = lines.LineBefore(line).value_or(line);
    EXPECT_LT(lines.LinesLaidOut() - before, total / 20);
    EXPECT_FALSE(lines.Exact(text.size()));
    lines.Finish();
    EXPECT_TRUE(lines.Exact(text.size()));
    EXPECT_TRUE(Starts(lines) == FreshStarts(text, Metrics(329)));
}

// Everything laid out, then words and a line break arrive, and an edit in the paragraph after
// it: the words between the last mark and that paragraph are more than a line is walked from a
// mark, and are laid out, not left to a guess.  The walk reaches two spacings and two lines, and
// no less is taken.
TEST(ViewLinesTest, WordsAppendedAfterTheLastMarkAreLaidOutWhenAParagraphFollowsThem) {
    std::minstd_rand random(11);
    std::string words = RandomText(random, 3000);
    words.erase(std::remove(words.begin(), words.end(), '\r'), words.end());
    words.erase(std::remove(words.begin(), words.end(), '\n'), words.end());
    BlockBytes text = BlockBytes::CopyOf(words.substr(0, 1000), 64);
    LayoutTuning tuning{.spacing = 128,
                        .guess_spacing = 128,
                        .walk_limit = 2 * 128 + 2 * (200 + 2) - 1,
                        .behind = false,
                        .longest_line = 200};
    EXPECT_THROW(ViewLines(text, tuning), std::invalid_argument);
    ++tuning.walk_limit;
    ViewLines lines(text, tuning);
    lines.SetMetrics(Metrics(100));
    lines.Finish();

    text.Append(words.substr(1000), "\r\nnext paragraph");
    lines.Appended();
    lines.ReserveForEdit();
    text.Splice(text.size() - 4, text.size() - 4, BlockBytes::CopyOf("x", 64));
    lines.Edited(text.size() - 5, 0, 1);
    lines.Finish();
    EXPECT_TRUE(Starts(lines) == FreshStarts(text, Metrics(100)));
}

// With no memory for laying out, a width change still takes: the lines are a guess, every one
// holding what it should, until memory is back.
TEST(ViewLinesTest, AWidthChangeWithoutMemoryLeavesAGuessAndNoException) {
    std::minstd_rand random(9);
    const BlockBytes text = BlockBytes::CopyOf(RandomText(random, 64 << 10), 4096);
    LayoutTuning tuning;
    tuning.at_once = 16 << 10;
    tuning.spacing = 1 << 10;
    for (long failing = 0; failing < 12; ++failing) {
        ViewLines lines(text, tuning);
        lines.SetMetrics(Metrics(300));
        lines.Finish();
        check::FailAllocationAfter(failing);
        lines.SetMetrics(Metrics(120));
        lines.LayOutSome();
        const ViewLines::Line line = lines.LineAt(text.size() / 3);
        check::FailAllocationAfter(-1);
        ASSERT_TRUE(line.start <= text.size() / 3 && text.size() / 3 < line.end);
        lines.Finish();
        ASSERT_TRUE(Starts(lines) == FreshStarts(text, Metrics(120))) << failing;
    }
}

}  // namespace
}  // namespace bukvotok
