#include <gtest/gtest.h>

#include <random>

#include "TextModelCheck.h"

namespace bukvotok {
namespace {

// Random scripts of edits, appends, undos, redos, widths and limits.
TEST(TextModelTest, AgreesWithAPlainStringAndAFreshLayout) {
    std::mt19937 random(14);
    for (int script = 0; script < 400; ++script) {
        std::vector<std::uint8_t> bytes(800);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
        check::TextModelCheck model_check;
        ASSERT_EQ(model_check.Run(bytes), "") << "script " << script;
    }
}

// A full text replaced by one letter: the history holds the former text itself, and undoing
// puts it back as it was, with the words appended meanwhile after it.
TEST(TextModelTest, ReplacingAFullTextHandsItToTheHistoryAndBack) {
    TextModel model;
    TextMetrics metrics;
    metrics.advance.fill(7);
    metrics.width = 300;
    model.Text().SetMetrics(metrics);
    const std::string full(3 << 20, 'a');
    model.SetCapacity(full.size() + 100);
    model.Assign(full);

    ASSERT_TRUE(model.Replace(0, full.size(), "b", TextModel::EditKind::kTyping));
    EXPECT_GE(model.HistoryBytes(), full.size());  // the text itself, not a copy beside it
    ASSERT_TRUE(model.Undo());
    EXPECT_LT(model.HistoryBytes(), 1000u);
    ASSERT_TRUE(model.Redo());
    ASSERT_TRUE(model.Append(" ", "word"));
    ASSERT_TRUE(model.Undo());
    EXPECT_EQ(model.Text().Copy(), full + " word");
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(model.Text().Copy(), "b word");
}

// The space and the word a search appends go in together or not at all.
TEST(TextModelTest, AnAppendThatRunsOutOfMemoryLeavesNothing) {
    TextModel model;
    const std::string text(BlockBytes::kBlockSize - 1, 'a');  // room for the space only
    model.Assign(text);
    growing_array_limit_for_tests = 0;  // and no memory for more
    EXPECT_THROW(model.Append(" ", std::string(20, 'w')), std::bad_alloc);
    growing_array_limit_for_tests = static_cast<std::size_t>(-1);
    EXPECT_EQ(model.Text().Copy(), text);
}

}  // namespace
}  // namespace bukvotok
