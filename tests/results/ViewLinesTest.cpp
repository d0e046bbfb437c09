// Where the results box's lines wrap, and how much of the text the view lays out to show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
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
        {"a word that ends exactly at the edge stays", "aa aa aa", 18, {0, 6}},
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
        {"and one that makes a line of exactly that many bytes leaves the next break alone",
         std::string((1 << 16) - 2, ' ') + "\r\n\r\nb",
         10,
         {0, 1 << 16, (1 << 16) + 2}},
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

// A width change on a large text: the lines the view shows at once, the rest on the thread a
// batch at a time, while words are appended and the text is edited; in the end the lines of a
// fresh layout.
TEST(ViewLinesTest, AWidthChangeLaysOutWhatIsShownAtOnceAndTheRestBehind) {
    std::minstd_rand random(5);
    BlockBytes text = BlockBytes::CopyOf(RandomText(random, 4 << 20), 256 << 10);
    const LayoutTuning tuning{.batch = 512 << 10};
    ViewLines lines(text, tuning);
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
    // A line the view has shown as a guess, wrong: taken in by Poll alone, the thread's batches,
    // as many as the text holds, make it the true one.
    const std::vector<std::size_t> fresh = FreshStarts(text, Metrics(200));
    const auto true_start = [&fresh](std::size_t at) {
        return *(std::upper_bound(fresh.begin(), fresh.end(), at) - 1);
    };
    std::size_t guessed = text.size() / 2;
    while (guessed < text.size() && lines.LineAt(guessed).start == true_start(guessed)) ++guessed;
    ASSERT_LT(guessed, text.size());
    for (std::size_t taken = 0; lines.LayingOutBehind();) {
        taken += lines.Poll() ? 1u : 0u;
        ASSERT_LE(taken, text.size() / tuning.batch + 1);
    }
    EXPECT_TRUE(lines.Exact(text.size() - 20)) << "the last batch taken in too";
    EXPECT_EQ(lines.LineAt(guessed).start, true_start(guessed));
    while (lines.Pending()) {
        lines.Poll();
        lines.LayOutSome();
        std::this_thread::yield();
    }
    EXPECT_TRUE(Starts(lines) == FreshStarts(text, Metrics(200)));

    // Words appended at a search's pace are laid out here as they come, a frame's worth more
    // than a stretch at a time; a megabyte's worth goes behind.
    for (const std::size_t appended : {3 * tuning.at_once, tuning.behind_from + 1000}) {
        text.Append(RandomText(random, appended));
        lines.Appended();
        lines.LayOutSome();
        EXPECT_EQ(lines.LayingOutBehind(), appended > tuning.behind_from) << appended;
        EXPECT_TRUE(lines.Exact(text.size() - 20) || lines.LayingOutBehind()) << appended;
    }
    lines.Finish();

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

    // The whole text replaced by one as long that wraps elsewhere: no line walked in the old one
    // is shown.
    lines.LineAt(0);
    text = BlockBytes::CopyOf(std::string(text.size(), 'a'), 256 << 10);
    lines.Replaced();
    EXPECT_EQ(lines.LineAt(0).end, 62u);
}

// After an edit the view lays out at once what it shows, from close by.  One word repeated
// moves every line after a word typed near the top: the lines at the end stay a guess until the
// rest is laid out.  In words of all lengths, the lines after a word typed in the middle, far
// past what is laid out at once from the text's start, meet those known before: the stretch laid
// out at once makes every line true again, and nothing after it is laid out again.
TEST(ViewLinesTest, AnEditLaysOutOnlyWhatIsShownAndWhatItMoves) {
    std::string repeated;
    while (repeated.size() < (4 << 20)) repeated += " \xEA\xEE\xF2";
    std::minstd_rand random(7);
    std::string words = RandomText(random, 4 << 20);
    std::replace(words.begin(), words.end(), '\n', ' ');  // one paragraph, as a search's words
    std::replace(words.begin(), words.end(), '\r', ' ');
    struct Case {
        const char* name;
        const std::string& text;
        std::size_t at;
        bool lines_stay;
    };
    const Case cases[] = {
        {"one word repeated, a word typed at the top", repeated, 0, false},
        {"words of all lengths, a word typed in the middle", words, words.size() / 2 + 1, true},
    };
    for (const Case& c : cases) {
        BlockBytes text = BlockBytes::CopyOf(c.text, 256 << 10);
        ViewLines lines(text, LayoutTuning{.behind = false});
        lines.SetMetrics(Metrics(329));
        lines.Finish();
        const std::size_t total = Starts(lines).size();

        lines.ReserveForEdit();
        text.Splice(c.at, c.at, BlockBytes::CopyOf(" \xEA\xEE\xF2", 256 << 10));
        lines.Edited(c.at, 0, 4);
        const std::size_t before_edit = lines.LinesLaidOut();
        lines.LayOutSome();
        const std::size_t before = lines.LinesLaidOut();
        auto line = lines.LineAt(text.size());
        for (int row = 0; row < 40; ++row) line = lines.LineBefore(line).value_or(line);
        EXPECT_LT(lines.LinesLaidOut() - before, total / 20) << c.name;
        EXPECT_EQ(lines.Exact(text.size()), c.lines_stay) << c.name;
        lines.Finish();
        EXPECT_EQ(lines.LinesLaidOut() - before_edit < total / 20, c.lines_stay) << c.name;
        EXPECT_TRUE(lines.Exact(text.size())) << c.name;
        EXPECT_TRUE(Starts(lines) == FreshStarts(text, Metrics(329))) << c.name;
    }
}

// Everything laid out, then words and a line break arrive, and an edit before them: the words
// between the last mark and the new paragraph are more than a line is walked from a mark, and
// are laid out, not left to a guess, wherever the edit moved the last mark and the end of what
// was laid out.  The walk reaches two spacings and two lines, and no less is taken.
TEST(ViewLinesTest, WordsAppendedAfterTheLastMarkAreLaidOutWhenAParagraphFollowsThem) {
    std::minstd_rand random(11);
    const auto words = [&random](std::size_t bytes) {
        std::string text = RandomText(random, bytes);
        std::replace(text.begin(), text.end(), '\n', ' ');
        std::replace(text.begin(), text.end(), '\r', ' ');
        return text;
    };
    struct Step {
        std::size_t at = 0;  // an edit; else words appended, not laid out
        std::size_t removed = 0;
        std::string in = {};
        bool append = false;
        bool finish = false;  // everything laid out
    };
    struct Case {
        const char* name;
        LayoutTuning tuning;
        std::string text;
        std::vector<Step> steps;
        // Lines the last layout may take: here, the stretches the edit touches and the words,
        // not the paragraph's last stretch again (it takes some 300 more).
        std::size_t most_laid_out = std::numeric_limits<std::size_t>::max();
    };
    LayoutTuning small{.spacing = 128,
                       .guess_spacing = 128,
                       .walk_limit = 2 * 128 + 2 * (200 + 2) - 1,
                       .behind = false,
                       .longest_line = 200};
    EXPECT_THROW(ViewLines(BlockBytes::CopyOf("x", 64), small), std::invalid_argument);
    ++small.walk_limit;
    const std::string short_words = words(3000);
    const std::string appended = words(500'000) + "\r\nx";
    const Case cases[] = {
        {"a letter typed in the new paragraph",
         small,
         short_words.substr(0, 1000),
         {{.in = short_words.substr(1000) + "\r\nnext paragraph", .append = true},
          {.at = short_words.size() + 12, .in = "x"}}},
        {"a deletion before the last mark",
         {.behind = false},
         words(1'000'000),
         {{.in = appended, .append = true}, {.at = 100'000, .removed = 600'000}}},
        {"an insertion before the last mark",
         {.behind = false},
         words(1'000'000),
         {{.in = appended, .append = true}, {.at = 100'000, .in = words(100'000)}}},
        {"a letter typed before the last mark of a paragraph laid out to its end",
         {.behind = false},
         words(1'000'000) + "\r\n",
         {{.in = words(1000), .append = true}, {.at = 500'000, .in = "x"}},
         800},
        {"a deletion laid out, then a letter typed before the last mark",
         {.behind = false},
         "short\r\n" + words(1'000'000),
         {{.at = 10'000, .removed = 600'000},
          {.finish = true},
          {.in = appended, .append = true},
          {.at = 5'000, .in = "x"}}},
    };
    for (const Case& c : cases) {
        BlockBytes text = BlockBytes::CopyOf(c.text, 64 << 10);
        ViewLines lines(text, c.tuning);
        lines.SetMetrics(Metrics(329));
        lines.Finish();
        for (const Step& step : c.steps) {
            if (step.append) {
                text.Append(step.in);
                lines.Appended();
            } else if (step.finish) {
                lines.Finish();
            } else {
                lines.ReserveForEdit();
                text.Splice(step.at, step.at + step.removed, BlockBytes::CopyOf(step.in, 64 << 10));
                lines.Edited(step.at, step.removed, step.in.size());
            }
        }
        const std::size_t before = lines.LinesLaidOut();
        lines.Finish();
        EXPECT_LE(lines.LinesLaidOut() - before, c.most_laid_out) << c.name;
        EXPECT_TRUE(Starts(lines) == FreshStarts(text, Metrics(329))) << c.name;
        EXPECT_TRUE(lines.Exact(text.size() - 3)) << c.name;
    }
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

    // Nor are appended words forgotten: they stay to be laid out once memory is back.
    BlockBytes appended = BlockBytes::CopyOf(RandomText(random, 64 << 10), 4096);
    ViewLines lines(appended, tuning);
    lines.SetMetrics(Metrics(300));
    lines.Finish();
    appended.Append(RandomText(random, 8 << 10));
    lines.Appended();
    check::FailAllocationAfter(0);
    lines.LayOutSome();
    check::FailAllocationAfter(-1);
    EXPECT_TRUE(lines.Pending());
}

}  // namespace
}  // namespace bukvotok
