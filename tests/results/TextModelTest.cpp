#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <random>
#include <thread>

#include "TextModelCheck.h"

// Every allocation of the test, counted down when armed: the one that reaches zero fails.
namespace {
long allocations_until_failure = -1;
bool NextAllocationFails() {
    if (allocations_until_failure < 0) return false;
    return allocations_until_failure-- == 0;
}
}  // namespace

// GCC takes free() in a replaced operator delete for a mismatch; here it is the match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (NextAllocationFails()) throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace bukvotok {
namespace {

using Kind = TextModel::EditKind;

TextMetrics Narrow(float width) {
    TextMetrics metrics;
    metrics.advance.fill(7);
    metrics.advance[' '] = 3;
    metrics.width = width;
    return metrics;
}

// Random scripts of edits, appends, undos, redos, moves, clears, searches, widths and limits.
TEST(TextModelTest, AgreesWithAPlainStringAndAFreshLayout) {
    std::mt19937 random(14);
    for (int script = 0; script < 400; ++script) {
        std::vector<std::uint8_t> bytes(800);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
        check::TextModelCheck model_check;
        ASSERT_EQ(model_check.Run(bytes), "") << "script " << script;
    }
}

// Select from the top down and press Delete, on a nearly full text with a step before it:
// whatever the share, the deletion is a step, the one before it stays, and undo gives the text
// back.  Its cost is what it removed, so at most the text it leaves is saved by it.
TEST(TextModelTest, DeletingAnyShareOfAFullTextCanBeUndone) {
    for (const double share : {0.1, 0.5, 0.55, 0.6, 0.8, 0.99, 0.999, 1.0}) {
        TextModel model(TextModel::Tuning{1 << 10, 4 << 10});
        model.Text().SetMetrics(Narrow(300));
        model.SetCapacity(1 << 20);
        std::string text;
        while (text.size() < model.Capacity() - 2000) text += " слово";
        model.Assign(text);
        ASSERT_TRUE(model.Replace(5, 5, "x", Kind::kTyping));
        const std::string before = model.Text().Copy();
        const auto to = static_cast<std::size_t>(share * static_cast<double>(before.size()));

        ASSERT_TRUE(model.Replace(0, to, "", Kind::kOther)) << share;
        EXPECT_EQ(model.History().UndoCount(), 2u) << share;
        EXPECT_LE(model.Size() + model.HistoryBytes(), model.Budget()) << share;
        ASSERT_TRUE(model.Undo()) << share;
        EXPECT_TRUE(model.Text().Copy() == before) << share;
        ASSERT_TRUE(model.Undo()) << share;
        EXPECT_TRUE(model.Text().Copy() == text) << share;
    }
}

// The search's words push out the steps made before it started, never one made while it runs:
// then the words are refused, the search stops, and undo brings the text back.
TEST(TextModelTest, ASearchPushesOutOnlyStepsFromBeforeIt) {
    TextModel model(TextModel::Tuning{64, 256});
    model.SetCapacity(4096);
    const std::string words(3000, 'a');
    model.Assign(words);
    ASSERT_TRUE(model.Replace(0, 1000, "", Kind::kOther));  // before the search
    model.BeginSearch();
    ASSERT_TRUE(model.Append(" ", std::string(1500, 'b')));
    EXPECT_FALSE(model.CanUndo()) << "the step from before the search makes room";

    const std::string during = model.Text().Copy();
    ASSERT_TRUE(model.Replace(0, model.Size(), "c", Kind::kTyping));  // a slip during the search
    EXPECT_FALSE(model.Append(" ", std::string(700, 'w')));
    EXPECT_TRUE(model.RefusedForHistory());
    model.EndSearch();
    ASSERT_TRUE(model.Undo());
    EXPECT_TRUE(model.Text().Copy() == during);

    // "Очистить" is a step too, and a later search's words may take its room.
    ASSERT_TRUE(model.Clear());
    ASSERT_TRUE(model.Undo());
    EXPECT_TRUE(model.Text().Copy() == during);
    ASSERT_TRUE(model.Redo());
    model.BeginSearch();
    ASSERT_TRUE(model.Append(std::string(4000, 'd')));
    EXPECT_FALSE(model.CanUndo());
}

// A full text replaced by one letter: the history holds the former blocks themselves, and
// undoing puts them back as they were, with the words appended meanwhile after them.
TEST(TextModelTest, ReplacingAFullTextMovesItToTheHistoryAndBack) {
    TextModel model;
    model.Text().SetMetrics(Narrow(300));
    const std::string full(3 << 20, 'a');
    model.SetCapacity(2 * full.size());
    model.Assign(full);
    const std::size_t memory = model.Text().MemoryBytes();

    ASSERT_TRUE(model.Replace(0, full.size(), "b", Kind::kTyping));
    EXPECT_GE(model.HistoryBytes(), full.size());
    EXPECT_LT(model.Text().MemoryBytes(), memory / 2) << "the blocks moved, not copied";
    ASSERT_TRUE(model.Undo());
    EXPECT_LT(model.HistoryBytes(), 1000u);
    ASSERT_TRUE(model.Redo());
    ASSERT_TRUE(model.Append(" ", "word"));
    ASSERT_TRUE(model.Undo());
    EXPECT_TRUE(model.Text().Copy() == full + " word");
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(model.Text().Copy(), "b word");

    // Typing on after such a replace is refused once the room is gone: the step it goes on
    // with is never what is pushed out for it.
    model.Assign(full);
    ASSERT_TRUE(model.Replace(0, full.size(), "b", Kind::kTyping));
    const std::string typed(64 << 10, 'c');
    while (model.Replace(model.Size(), model.Size(), typed, Kind::kTyping)) {
    }
    EXPECT_TRUE(model.RefusedForHistory());
    ASSERT_TRUE(model.Undo());
    EXPECT_TRUE(model.Text().Copy() == full);
}

std::vector<std::size_t> Lines(WrappedText& text) {
    std::vector<std::size_t> starts;
    for (std::size_t line = 0; line < text.LineCount(); ++line)
        starts.push_back(text.LineStart(line));
    return starts;
}

// A width change on a large text: the lines at the anchor at once, all of them behind, and
// whatever asks for lines not there yet, or edits, gets them as a fresh layout has them.
TEST(TextModelTest, AWidthChangeLaysOutTheAnchorAtOnceAndTheRestBehind) {
    std::mt19937 random(3);
    std::string text;
    while (text.size() < (6 << 20)) {
        text += random() % 50 == 0 ? "\r\n" : " ";
        text += std::string(1 + random() % 12, 'w');
    }
    const std::size_t anchor = text.size() / 2;
    const std::string appended = " and words appended meanwhile";
    for (const int ask : {0, 1, 2}) {
        WrappedText wrapped;
        wrapped.SetMetrics(Narrow(300));
        wrapped.Assign(text);
        ASSERT_GT(wrapped.LineCount(), 1u);
        wrapped.SetMetricsSoon(Narrow(200), anchor);
        ASSERT_TRUE(wrapped.LayingOut());
        EXPECT_LT(wrapped.LineCount(), 20000u) << "only a few screens at once";
        EXPECT_EQ(wrapped.LineStart(wrapped.LineOf(anchor)), anchor);
        wrapped.Append(appended);
        std::string expected = text + appended;
        if (ask == 0) {
            while (!wrapped.Poll()) std::this_thread::yield();
        } else if (ask == 1) {
            EXPECT_EQ(wrapped.LineStart(0), 0u);  // the text before the anchor: waits
        } else {
            wrapped.Replace(10, 10, "edit");
            expected.insert(10, "edit");
        }
        EXPECT_FALSE(wrapped.LayingOut()) << ask;
        WrappedText fresh;
        fresh.SetMetrics(Narrow(200));
        fresh.Assign(expected);
        EXPECT_TRUE(Lines(wrapped) == Lines(fresh)) << ask;
    }
}

// What the model holds, to see that a failed change left all of it as it was.
struct Snapshot {
    std::string text;
    std::vector<std::size_t> lines;
    std::size_t undo = 0;
    std::size_t redo = 0;
    std::size_t held = 0;
    std::vector<std::string> steps;

    explicit Snapshot(TextModel& model) : text(model.Text().Copy()) {
        for (std::size_t line = 0; line < model.Text().LineCount(); ++line) {
            lines.push_back(model.Text().LineStart(line));
        }
        const EditHistory& history = model.History();
        undo = history.UndoCount();
        redo = history.RedoCount();
        held = history.HeldBytes();
        for (std::size_t i = 0; i < history.Count(); ++i) {
            const EditStep& step = history.At(i);
            std::string shown;
            for (const std::size_t number :
                 {static_cast<std::size_t>(step.kind), step.at, step.length, step.to}) {
                shown.append(std::to_string(number)).append(" ");
            }
            shown.append(step.held.bytes.Copy(0, step.held.Size())).append(" |");
            for (std::size_t line = 0; line < step.held.lines.Count(); ++line) {
                shown.append(" ").append(std::to_string(step.held.lines.Start(line)));
            }
            steps.push_back(shown);
        }
    }
    bool operator==(const Snapshot&) const = default;
};

// Every change, failing at each of its allocations in turn, leaves the text, its lines and the
// history exactly as they were; the same change with memory enough then succeeds.
TEST(TextModelTest, AChangeThatRunsOutOfMemoryChangesNothing) {
    line_chunk_lines = 4;  // lines move across chunks
    const auto make = [] {
        auto model = std::make_unique<TextModel>(TextModel::Tuning{64, 16});
        model->Text().SetMetrics(Narrow(40));
        model->SetCapacity(700);
        std::string text;
        for (int i = 0; i < 40; ++i) text += i % 9 == 8 ? "\r\nабв" : " слово";
        model->Assign(text);
        model->Replace(30, 30, "xyz", Kind::kTyping);
        model->Replace(100, 180, "", Kind::kOther);
        model->Replace(7, 7, "q", Kind::kTyping);
        model->Undo();
        model->BeginSearch();
        return model;
    };
    using Change = std::function<bool(TextModel&)>;
    struct Case {
        const char* name;
        Change change;
        Change before = [](TextModel&) { return true; };
    };
    const std::vector<Case> changes = {
        {"typing", [](TextModel& m) { return m.Replace(50, 50, "k", Kind::kTyping); }},
        {"typing on", [](TextModel& m) { return m.Replace(8, 8, "r", Kind::kTyping); },
         [](TextModel& m) { return m.Replace(7, 7, "q", Kind::kTyping); }},
        {"replace across blocks",
         [](TextModel& m) { return m.Replace(20, 90, "новое\r\nслово ", Kind::kOther); }},
        {"delete 60 %",
         [](TextModel& m) { return m.Replace(0, m.Size() * 6 / 10, "", Kind::kOther); }},
        {"clear", [](TextModel& m) { return m.Clear(); }},
        {"undo", [](TextModel& m) { return m.Undo().has_value(); }},
        {"redo", [](TextModel& m) { return m.Redo().has_value(); }},
        {"move far", [](TextModel& m) { return m.Move(1, 12, m.Size()); }},
        {"copy within", [](TextModel& m) { return m.InsertCopy(3, 40, 120); }},
        {"append", [](TextModel& m) { return m.Append(" ", std::string(150, 'z')); }},
        {"assign",
         [](TextModel& m) {
             m.Assign("новый текст\r\nв две строки");
             return true;
         }},
    };
    for (const auto& [name, change, prepare] : changes) {
        bool succeeded = false;
        for (long failing = 0; !succeeded && failing < 10000; ++failing) {
            const std::unique_ptr<TextModel> model = make();
            prepare(*model);
            const Snapshot before(*model);
            growing_array_fails_for_tests = &NextAllocationFails;
            allocations_until_failure = failing;
            try {
                succeeded = change(*model);
                allocations_until_failure = -1;
                ASSERT_TRUE(succeeded) << name;
            } catch (const std::bad_alloc&) {
                allocations_until_failure = -1;
                growing_array_fails_for_tests = nullptr;
                ASSERT_TRUE(Snapshot(*model) == before) << name << ", allocation " << failing;
            }
            growing_array_fails_for_tests = nullptr;
        }
        EXPECT_TRUE(succeeded) << name;
    }
    line_chunk_lines = check::TextModelCheck::kChunkLines;
}

// The space and the word a search appends go in together or not at all.
TEST(TextModelTest, AnAppendThatRunsOutOfMemoryLeavesNothing) {
    TextModel model;
    const std::string text(BlockBytes::kBlockSize - 1, 'a');  // room for the space only
    model.Assign(text);
    growing_array_limit_for_tests = 0;  // and no memory for more
    EXPECT_THROW(model.Append(" ", std::string(20, 'w')), std::bad_alloc);
    growing_array_limit_for_tests = static_cast<std::size_t>(-1);
    EXPECT_TRUE(model.Text().Copy() == text);
}

}  // namespace
}  // namespace bukvotok
