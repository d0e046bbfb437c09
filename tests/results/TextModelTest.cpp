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
    const char* const before = model.Text().Bytes().data();

    ASSERT_TRUE(model.Replace(0, full.size(), "b", TextModel::EditKind::kTyping));
    ASSERT_TRUE(model.Undo());
    EXPECT_EQ(model.Text().Bytes().data(), before);  // not a copy

    ASSERT_TRUE(model.Redo());
    ASSERT_TRUE(model.Append(" ", "word"));
    ASSERT_TRUE(model.Undo());
    EXPECT_EQ(model.Text().Bytes(), full + " word");
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(model.Text().Bytes(), "b word");
}

// The space and the word a search appends go in together or not at all.
TEST(TextModelTest, AnAppendThatRunsOutOfMemoryLeavesNothing) {
    TextModel model;
    model.Assign("0123456789abcdef");  // its array just this large
    const std::string word(20, 'w');
    growing_array_limit_for_tests = 24;  // room for the space but not the word
    EXPECT_THROW(model.Append(" ", word), std::bad_alloc);
    growing_array_limit_for_tests = static_cast<std::size_t>(-1);
    EXPECT_EQ(model.Text().Bytes(), "0123456789abcdef");
}

}  // namespace
}  // namespace bukvotok
