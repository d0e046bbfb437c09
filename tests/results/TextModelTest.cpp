#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "FailingAllocations.h"
#include "ReadyBlocks.h"
#include "TextModelCheck.h"

namespace bukvotok {
namespace {

using Kind = TextModel::EditKind;

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
        model.SetCapacity(1 << 20);
        std::string text;
        while (text.size() < model.Capacity() - 2000) text += " слово";
        model.Assign(text);
        ASSERT_TRUE(model.Replace(5, 5, "x", Kind::kTyping));
        const std::string before = model.Copy();
        const auto to = static_cast<std::size_t>(share * static_cast<double>(before.size()));

        ASSERT_TRUE(model.Replace(0, to, "", Kind::kOther)) << share;
        EXPECT_EQ(model.History().UndoCount(), 2u) << share;
        EXPECT_LE(model.Size() + model.HistoryBytes(), model.Budget()) << share;
        ASSERT_TRUE(model.Undo()) << share;
        EXPECT_TRUE(model.Copy() == before) << share;
        ASSERT_TRUE(model.Undo()) << share;
        EXPECT_TRUE(model.Copy() == text) << share;
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

    const std::string during = model.Copy();
    ASSERT_TRUE(model.Replace(0, model.Size(), "c", Kind::kTyping));  // a slip during the search
    EXPECT_FALSE(model.Append(" ", std::string(700, 'w')));
    EXPECT_EQ(model.LastRefusal(), TextModel::Refusal::kHistory);
    model.EndSearch();
    ASSERT_TRUE(model.Undo());
    EXPECT_TRUE(model.Copy() == during);

    // Removed text that a saved file holds, let go at the search's question, stays let go when
    // another text is saved over that file.
    TextModel saved(TextModel::Tuning{64, 256, 16});
    saved.Assign(words);
    const std::uint64_t save = saved.MarkSaved();
    ASSERT_TRUE(saved.Replace(0, 100, "", Kind::kOther));
    saved.ForgetKeptBeforeSearch();
    saved.ForgetSave(save);
    EXPECT_EQ(saved.KeptBeforeSearch(), 0u);

    // "Очистить" is a step too, and a later search's words may take its room.
    ASSERT_TRUE(model.Clear());
    ASSERT_TRUE(model.Undo());
    EXPECT_TRUE(model.Copy() == during);
    ASSERT_TRUE(model.Redo());
    model.BeginSearch();
    ASSERT_TRUE(model.Append(std::string(4000, 'd')));
    EXPECT_FALSE(model.CanUndo());

    // Words that push out a hundred steps at once: those left undo and redo as they should.
    TextModel many(TextModel::Tuning{64, 256});
    for (std::size_t i = 0; i < 150; ++i) {
        ASSERT_TRUE(many.Replace(i, i, "x", Kind::kTyping));
        many.EndTyping();
    }
    const std::size_t step = sizeof(EditStep);
    many.SetCapacity(150 + 150 * step);
    many.BeginSearch();
    ASSERT_TRUE(many.Append(std::string(100 * step, 'w')));
    EXPECT_EQ(many.History().UndoCount(), 50u);
    while (many.Undo()) {
    }
    EXPECT_TRUE(many.Copy() == std::string(100, 'x') + std::string(100 * step, 'w'));
    while (many.Redo()) {
    }
    EXPECT_TRUE(many.Copy() == std::string(150, 'x') + std::string(100 * step, 'w'));
}

// A kept step undone (an insertion, whose bytes the undo took out) stops the drops from the far
// end of the history; the oldest step, which is not kept, still makes the room, and nobody need
// be asked.
TEST(TextModelTest, ASearchMakesRoomPastAKeptStepUndone) {
    TextModel model(TextModel::Tuning{64, 256, 100});
    model.SetCapacity(4096);
    model.Assign(std::string(3000, 'a'));
    ASSERT_TRUE(model.Replace(0, 50, "", Kind::kOther));  // not kept
    ASSERT_TRUE(model.Replace(0, 0, std::string(500, 'x'), Kind::kOther));
    ASSERT_TRUE(model.Undo());  // kept
    model.BeginSearch();
    ASSERT_TRUE(model.Append(std::string(500, 'w')));
    EXPECT_FALSE(model.CanUndo());
    EXPECT_TRUE(model.CanRedo());

    // Undone the other way round: the kept step is the farthest to redo, so the first to go, though
    // the nearer one, its bytes in the file since the save, may go.  The user is asked.
    TextModel saved(TextModel::Tuning{64, 256, 100});
    saved.SetCapacity(4096);
    saved.Assign(std::string(2000, 'a'));
    ASSERT_TRUE(saved.Replace(0, 0, std::string(500, 'x'), Kind::kOther));
    ASSERT_TRUE(saved.Replace(0, 0, std::string(500, 'y'), Kind::kOther));
    ASSERT_TRUE(saved.Undo());  // kept
    saved.MarkSaved();
    ASSERT_TRUE(saved.Undo());  // its bytes are in the file
    saved.BeginSearch();
    EXPECT_FALSE(saved.Append(std::string(1200 - sizeof(EditStep), 'w')));
    EXPECT_EQ(saved.LastRefusal(), TextModel::Refusal::kKept);
    ASSERT_TRUE(saved.Redo());
    ASSERT_TRUE(saved.Redo());
    EXPECT_TRUE(saved.Copy() ==
                std::string(500, 'y') + std::string(500, 'x') + std::string(2000, 'a'));
}

// A full text replaced by one letter: the history holds the former blocks themselves, and
// undoing puts them back as they were, with the words appended meanwhile after them.
TEST(TextModelTest, ReplacingAFullTextMovesItToTheHistoryAndBack) {
    TextModel model;
    const std::string full(5 * BlockBytes::kBlockSize / 2, 'a');
    model.SetCapacity(2 * full.size());
    model.Assign(full);
    const std::size_t memory = model.Bytes().MemoryBytes();

    ASSERT_TRUE(model.Replace(0, full.size(), "b", Kind::kTyping));
    EXPECT_GE(model.HistoryBytes(), full.size());
    EXPECT_LT(model.Bytes().MemoryBytes(), memory / 2) << "the blocks moved, not copied";
    ASSERT_TRUE(model.Undo());
    EXPECT_LT(model.HistoryBytes(), 1000u);
    ASSERT_TRUE(model.Redo());
    ASSERT_TRUE(model.Append(" ", "word"));
    ASSERT_TRUE(model.Undo());
    EXPECT_TRUE(model.Copy() == full + " word");
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(model.Copy(), "b word");

    // Typing on after such a replace is refused once the room is gone: the step it goes on
    // with is never what is pushed out for it.
    model.Assign(full);
    ASSERT_TRUE(model.Replace(0, full.size(), "b", Kind::kTyping));
    const std::string typed(64 << 10, 'c');
    while (model.Replace(model.Size(), model.Size(), typed, Kind::kTyping)) {
    }
    EXPECT_EQ(model.LastRefusal(), TextModel::Refusal::kHistory);
    ASSERT_TRUE(model.Undo());
    EXPECT_TRUE(model.Copy() == full);
}

// Whatever changes the text, it stays in few pieces, no two neighbours of which would fit in one
// block, and every piece knows whether it holds a line break.  Blocks of 16 bytes, and a text
// the search appended as pieces of 16, 10, 10 and 10.
TEST(TextModelTest, EveryChangeKeepsTheTextInFewPieces) {
    struct Case {
        const char* name;
        std::function<bool(TextModel&, BlockBytes& clipboard)> change;
    };
    const std::vector<Case> cases = {
        {"most of the first piece deleted",
         [](TextModel& m, BlockBytes&) { return m.Replace(1, 12, "", Kind::kOther); }},
        {"a piece in the middle shortened",
         [](TextModel& m, BlockBytes&) { return m.Replace(20, 24, "", Kind::kTyping); }},
        {"the text's own copy pasted at its end",
         [](TextModel& m, BlockBytes&) { return m.InsertShared(m.Size(), 8, 40); }},
        {"a few letters dragged back", [](TextModel& m, BlockBytes&) { return m.Move(17, 25, 8); }},
        {"words appended to a piece the clipboard holds",
         [](TextModel& m, BlockBytes& clipboard) {
             clipboard = m.Bytes().Share(36, m.Size());
             return m.Append(" xyz");
         }},
    };
    for (const auto& [name, change] : cases) {
        TextModel model(TextModel::Tuning{64, 16});
        for (const char* piece :
             {"ab cd\r\nef gh ij ", "kl\r\nmn op ", "qr st\r\nuv ", "wx\r\nyz abc"})
            ASSERT_TRUE(model.Append(piece));
        BlockBytes clipboard;
        ASSERT_TRUE(change(model, clipboard)) << name;
        const BlockBytes& bytes = model.Bytes();
        std::size_t splinters = 0;
        std::size_t before = bytes.BlockSize();
        bytes.ForEachPiece(0, bytes.size(), [&](std::string_view piece, std::size_t) {
            splinters += before + piece.size() <= bytes.BlockSize();
            before = piece.size();
            return true;
        });
        EXPECT_EQ(splinters, 0u) << name;
        const std::string text = model.Copy();
        for (std::size_t at = 0; at <= text.size(); ++at) {
            if (!bytes.IsCaretOffset(at)) continue;
            const std::size_t found = at == 0 ? std::string::npos : text.rfind('\r', at - 1);
            ASSERT_EQ(bytes.ParagraphStart(at), found == std::string::npos ? 0 : found + 2)
                << name << ", at " << at;
        }
    }
}

// What the model holds, to see that a failed change left all of it as it was.
struct Snapshot {
    std::string text;
    std::size_t undo = 0;
    std::size_t redo = 0;
    std::size_t held = 0;
    std::vector<std::string> steps;

    explicit Snapshot(TextModel& model) : text(model.Copy()) {
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
            shown.append(step.held.Copy(0, step.held.size()));
            steps.push_back(shown);
        }
    }
    bool operator==(const Snapshot&) const = default;
};

// Every change, failing at each of its allocations in turn, leaves the text and the history
// exactly as they were; the same change with memory enough then succeeds.
TEST(TextModelTest, AChangeThatRunsOutOfMemoryChangesNothing) {
    const auto make = [] {
        auto model = std::make_unique<TextModel>(TextModel::Tuning{64, 16});
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
        {"copy within", [](TextModel& m) { return m.InsertShared(3, 40, 120); }},
        {"paste of a copy over a selection",
         [](TextModel& m) { return m.ReplaceShared(5, 60, m.Bytes().Share(100, 300)); }},
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
            check::FailAllocationAfter(failing);
            try {
                succeeded = change(*model);
                check::FailAllocationAfter(-1);
                ASSERT_TRUE(succeeded) << name;
            } catch (const std::bad_alloc&) {
                check::FailAllocationAfter(-1);
                ASSERT_TRUE(Snapshot(*model) == before) << name << ", allocation " << failing;
            }
        }
        EXPECT_TRUE(succeeded) << name;
    }
}

// The space and the word a search appends go in together or not at all.
TEST(TextModelTest, AnAppendThatRunsOutOfMemoryLeavesNothing) {
    TextModel model;
    const std::string text(BlockBytes::kBlockSize - 1, 'a');  // room for the space only
    model.Assign(text);
    growing_array_limit_for_tests = 0;  // and no memory for more
    EXPECT_THROW(model.Append(" ", std::string(20, 'w')), std::bad_alloc);
    growing_array_limit_for_tests = static_cast<std::size_t>(-1);
    EXPECT_TRUE(model.Copy() == text);
}

// Words handed over together are kept in the same blocks as words appended one by one, with a
// copy sharing the last block now and then, and count as many changes; one that runs out of
// memory is not in, nor any after it.
TEST(TextModelTest, WordsAppendedTogetherAreKeptAsOneByOne) {
    const auto pieces = [](const TextModel& model) {
        std::vector<std::string> all;
        model.Bytes().ForEachPiece(0, model.Size(), [&all](std::string_view piece, std::size_t) {
            all.emplace_back(piece);
            return true;
        });
        return all;
    };
    std::mt19937 random(33);
    TextModel one_by_one(TextModel::Tuning{64, 32, 256});
    TextModel together(TextModel::Tuning{64, 32, 256});
    BlockBytes copies[2];
    while (together.Size() < 5000) {
        std::string spaced;
        for (auto n = random() % 6; n > 0; --n) {
            const std::string word(random() % 40, static_cast<char>('a' + random() % 26));
            ASSERT_TRUE(one_by_one.Append(" ", word));
            (spaced += ' ') += word;
        }
        std::size_t taken = 0;
        together.AppendWords(spaced, taken);
        ASSERT_EQ(taken, spaced.size());
        if (random() % 4 == 0) {
            copies[0] = one_by_one.Bytes().Share(0, one_by_one.Size());
            copies[1] = together.Bytes().Share(0, together.Size());
        }
    }
    EXPECT_EQ(pieces(together), pieces(one_by_one));
    EXPECT_EQ(together.Changes(), one_by_one.Changes());
    EXPECT_EQ(together.LastChange().at, one_by_one.LastChange().at);
    EXPECT_EQ(together.LastChange().inserted, one_by_one.LastChange().inserted);

    TextModel model(TextModel::Tuning{64, 32, 256});
    std::size_t taken = 0;
    model.AppendWords(" aaaa bbbb", taken);
    growing_array_limit_for_tests = 0;  // the block has room for " cc" only
    const std::string spaced = " cc " + std::string(40, 'd') + " e";
    taken = 0;
    EXPECT_THROW(model.AppendWords(spaced, taken), std::bad_alloc);
    growing_array_limit_for_tests = static_cast<std::size_t>(-1);
    EXPECT_EQ(taken, 3u);
    EXPECT_TRUE(model.Copy() == " aaaa bbbb cc");
    EXPECT_EQ(model.Changes(), 3u);
}

// A block readied ahead is one of its own, of the whole size, and taken over as a growth to it
// would be: refused, it is freed.
TEST(TextModelTest, ReadyBlocksAreWholeAndOwnAndFailAsGrowthsDo) {
#ifdef _WIN32
    GTEST_SKIP() << "no blocks are readied on Windows";
#endif
    constexpr std::size_t kSize = BlockBytes::kBlockSize;
    EXPECT_EQ(TakeReadyBlock(kSize / 2), nullptr);
    const auto take = [] {
        char* block = nullptr;
        while ((block = TakeReadyBlock(kSize)) == nullptr) std::this_thread::yield();
        return block;
    };
    GrowingArray<char> blocks[2];
    for (char fill : {'a', 'b'}) {
        GrowingArray<char>& block = blocks[fill - 'a'];
        block.Adopt(take(), kSize);
        std::memset(block.data(), fill, kSize);
    }
    EXPECT_EQ(blocks[0][kSize - 1], 'a');
    growing_array_limit_for_tests = 0;
    GrowingArray<char> refused;
    EXPECT_THROW(refused.Adopt(take(), kSize), std::bad_alloc);
    growing_array_limit_for_tests = static_cast<std::size_t>(-1);
    EXPECT_EQ(refused.capacity(), 0u);
}

}  // namespace
}  // namespace bukvotok
