#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Cp1251.h"
#include "FakeResultsFace.h"
#include "GrowingArray.h"

namespace bukvotok {
namespace {

using Face = FakeResultsFace;
constexpr int kMargin = ResultsEditor::kMargin;

std::string Cp(const char* utf8) { return Utf8ToCp1251(utf8); }

// Numbered, so that a word lost, doubled or moved shows.
std::string Words(int count, int first = 0) {
    std::string words;
    for (int i = first; i < first + count; ++i) words += Cp(" слово") + std::to_string(i);
    return words;
}

KeyPress Key(EditorKey key, unsigned modifiers = 0) { return {key, modifiers, {}}; }
const KeyPress kUndo = Key(EditorKey::kZ, kControl);
const KeyPress kRedo = Key(EditorKey::kY, kControl);
const KeyPress kPaste = Key(EditorKey::kV, kControl);

void Type(ResultsEditor& editor, std::u16string_view text) {
    editor.KeyDown({EditorKey::kOther, 0, text});
}

// How many steps Ctrl+Z undoes until there are none.
int UndoAll(ResultsEditor& editor) {
    int steps = 0;
    for (; editor.CanUndo(); ++steps) editor.KeyDown(kUndo);
    return steps;
}

std::string Edited(std::string text, std::size_t at, std::size_t removed,
                   const std::string& inserted) {
    return text.replace(at, removed, inserted);
}

std::string Text(const ResultsEditor& editor) { return editor.Bytes().Copy(0, editor.Size()); }

// The text is still exact after more appends, and so are its lines, those of a box laid out
// afresh: an edit left the box's own account of its lines in order, and the appends were told
// to it.
void ExpectExactOnAppending(ResultsEditor& editor, const std::string& text) {
    const std::string more = Words(200, 5000);
    editor.AppendResultsText(more);
    ASSERT_EQ(Text(editor), text + more);
    const BlockBytes bytes = editor.Share(0, editor.Size());
    ViewLines fresh(bytes);
    fresh.SetMetrics(editor.Lines().Layout().Metrics());
    fresh.Finish();
    std::optional<ViewLines::Line> shown = editor.Lines().LineAt(0);
    for (auto line = std::make_optional(fresh.LineAt(0)); line; line = fresh.LineAfter(*line)) {
        ASSERT_EQ(shown, line);
        shown = editor.Lines().LineAfter(*shown);
    }
    EXPECT_FALSE(shown);
}

// Clicks as the window systems send them: the second press of a double click comes as one,
// and a third soon after as a press again.
void Click(ResultsEditor& editor, PixelPoint at, int clicks) {
    for (int i = 0; i < clicks; ++i) {
        editor.MousePress(at, MouseButton::kLeft, i == 1 ? 2 : 1, 0);
        editor.MouseRelease(at);
    }
}

PixelPoint Centre(const PixelRect& rect) {
    return {rect.left + rect.width / 2, rect.top + rect.height / 2};
}

std::size_t TopShown(ResultsEditor& editor) { return editor.OffsetAt({kMargin, kMargin}); }

bool EndShown(Face& face) {
    const PixelRect end = face.editor.CaretRect(face.editor.Size());
    return end.top >= 0 && end.Bottom() < face.height;
}

// A paint that draws nothing: it lays out what it shows.
void Paint(Face& face) {
    struct : ResultsSurface {
        void Fill(const FloatRect&, Ink) override {}
        void DrawText(float, float, std::string_view, Ink) override {}
    } surface;
    face.editor.Paint(surface, {0, 0, face.width, face.height});
}

TEST(ResultsEditorTest, TextComesInWithEveryLineBreakAsCrLf) {
    std::string every_byte;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n') every_byte += static_cast<char>(byte);
    }
    const std::string yo = Cp(" ёлка Ёж «ой» — №5 …");
    const std::string lines = Words(3000) + "\r\n" + Words(1000) + "\r\n\r\n" + Words(500);
    const struct {
        std::string input;
        std::string expected;
    } rows[] = {
        {"", ""},
        {yo, yo},
        {every_byte, every_byte},
        {" a\r\n b\r\n", " a\r\n b\r\n"},
        {"ab\r\ncd", "ab\r\ncd"},  // split between appends: CR in one, LF in the next
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb\r", "a\r\nb\r\n"},
        {"a\r\r\nb\n\rc", "a\r\n\r\nb\r\n\r\nc"},
        {lines, lines},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input.substr(0, 20));
        Face set;
        set.editor.SetResultsText(row.input);
        EXPECT_EQ(Text(set.editor), row.expected);
        set.editor.Clear();
        EXPECT_EQ(Text(set.editor), "");

        Face appended;
        const std::size_t piece = row.input.size() > 1000 ? 997 : 3;
        for (std::size_t at = 0; at < row.input.size(); at += piece) {
            appended.editor.AppendResultsText(row.input.substr(at, piece));
        }
        EXPECT_EQ(Text(appended.editor), row.expected);
    }
    // A lone CR's LF in the next append, then a line break of its own.
    Face split;
    for (const char* part : {"a\r", "\n", "\nb"}) split.editor.AppendResultsText(part);
    EXPECT_EQ(Text(split.editor), "a\r\n\r\nb");
    // Words between a lone CR and an LF: the LF is a line break of its own.
    std::size_t taken = 0;
    split.editor.AppendResultsText("\r");
    split.editor.AppendWords(" w", taken);
    split.editor.AppendResultsText("\nc");
    EXPECT_EQ(Text(split.editor), "a\r\n\r\nb\r\n w\r\nc");
}

TEST(ResultsEditorTest, EditsLandWhereTheKeysSayAndUndoPutsThemBack) {
    const std::size_t br = Words(300).size();  // the line break
    const std::size_t after = br + 2;
    const std::string zhe = Cp("ж");
    const std::vector<KeyPress> none;
    const KeyPress enter = Key(EditorKey::kReturn);
    const KeyPress left = Key(EditorKey::kLeft);
    const KeyPress bs = Key(EditorKey::kBackspace);
    const KeyPress del = Key(EditorKey::kDelete);
    const KeyPress ctrl_bs = Key(EditorKey::kBackspace, kControl);
    const std::size_t from = 100;
    const std::size_t to = after + 50;  // over the line break
    const std::size_t sel = to - from;
    const struct {
        const char* name;
        std::size_t anchor;  // byte offsets into Words(300) + CR LF + Words(300)
        std::size_t caret;
        std::vector<KeyPress> keys;
        std::u16string typed;  // or pasted, with Ctrl+V among the keys
        std::size_t at;        // where the edit lands
        std::size_t removed;
        std::string inserted;
    } rows[] = {
        // clang-format off
        {"typing", 10, 10, none, u"ж", 10, 0, zhe},
        {"a space typed", 10, 10, none, u" ", 10, 0, " "},
        {"Backspace", 10, 10, {bs}, u"", 9, 1, ""},
        {"Shift+Backspace", 10, 10, {Key(EditorKey::kBackspace, kShift)}, u"", 9, 1, ""},
        {"Delete", 10, 10, {del}, u"", 10, 1, ""},
        {"Backspace after a line break", after, after, {bs}, u"", br, 2, ""},
        {"Delete before a line break", br, br, {del}, u"", br, 2, ""},
        {"Left over a line break, then typing", after, after, {left}, u"ж", br, 0, zhe},
        {"Right over a line break, then typing", br, br, {Key(EditorKey::kRight)}, u"ж", after, 0,
         zhe},
        {"Enter", 10, 10, {enter}, u"", 10, 0, "\r\n"},
        {"Shift+Enter", 10, 10, {Key(EditorKey::kReturn, kShift)}, u"", 10, 0, "\r\n"},
        {"Enter and Backspace", 10, 10, {enter, bs}, u"", 10, 0, ""},
        {"Enter, Left and Delete", 10, 10, {enter, left, del}, u"", 10, 0, ""},
        {"unmappable letters typed", 10, 10, none, u"漢", 10, 0, "?"},
        {"beyond the basic plane typed", 10, 10, none, u"😀", 10, 0, "?"},
        {"euro sign typed", 10, 10, none, u"€", 10, 0, "\x88"},
        {"Alt with a letter types nothing", 10, 10, {{EditorKey::kOther, kAlt, u"ж"}}, u"", 10, 0, ""},
        {"Delete a selection", from, to, {del}, u"", from, sel, ""},
        {"Backspace, selected backwards", to, from, {bs}, u"", from, sel, ""},
        {"typing over a selection", from, to, none, u"ж", from, sel, zhe},
        {"Enter over a selection", from, to, {enter}, u"", from, sel, "\r\n"},
        {"Shift+Delete cuts", from, to, {Key(EditorKey::kDelete, kShift)}, u"", from, sel, ""},
        {"Ctrl+Backspace deletes the word before", 15, 15, {ctrl_bs}, u"", 8, 7, ""},
        {"Ctrl+Backspace after a line break", after, after, {ctrl_bs}, u"", br, 2, ""},
        {"Ctrl+Delete to the next word", 8, 8, {Key(EditorKey::kDelete, kControl)}, u"", 8, 7, ""},
        {"pasting LF, CR LF and CR", 10, 10, {kPaste}, u"a\nb\r\nc\rd", 10, 0, "a\r\nb\r\nc\r\nd"},
        {"pasting Unicode breaks", 10, 10, {kPaste}, u"a\u2029b\u2028c", 10, 0, "a\r\nb\r\nc"},
        {"Shift+Insert pastes", 10, 10, {Key(EditorKey::kInsert, kShift)}, u"ab", 10, 0, "ab"},
        {"pasting Cyrillic and unmappables over a selection", from, to, {kPaste}, u"ёЁ漢€😀", from,
         sel, Cp("ёЁ") + "?\x88?"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Face face;
        ResultsEditor& editor = face.editor;
        const std::string text = Words(300) + "\r\n" + Words(300, 300);
        editor.SetResultsText(text);
        editor.SetSelection(row.anchor, row.caret);
        bool pasting = false;
        for (const KeyPress& key : row.keys)
            pasting |= key.key == EditorKey::kV || key.key == EditorKey::kInsert;
        if (pasting) face.clipboard_text = row.typed;

        for (const KeyPress& key : row.keys) editor.KeyDown(key);
        if (!pasting && !row.typed.empty()) Type(editor, row.typed);

        const std::string expected = Edited(text, row.at, row.removed, row.inserted);
        EXPECT_EQ(Text(editor), expected);
        EXPECT_EQ(editor.AnchorOffset(), row.at + row.inserted.size());
        EXPECT_EQ(editor.CaretOffset(), row.at + row.inserted.size());

        // Undo selects the bytes it puts back, redo those the edit put in.
        UndoAll(editor);
        EXPECT_EQ(Text(editor), text);
        EXPECT_EQ(editor.AnchorOffset(), row.at);
        EXPECT_EQ(editor.CaretOffset(), row.at + row.removed);
        while (editor.CanRedo()) editor.KeyDown(Key(EditorKey::kZ, kControl | kShift));
        EXPECT_EQ(Text(editor), expected);
        EXPECT_EQ(editor.AnchorOffset(), row.at);
        EXPECT_EQ(editor.CaretOffset(), row.at + row.inserted.size());
        ExpectExactOnAppending(editor, expected);
    }
}

TEST(ResultsEditorTest, CaretKeysMoveAsInATextBox) {
    const std::string words = Words(200);  // " слово0 слово1 ...": many lines
    const auto size = static_cast<long long>(words.size());
    const auto key = [](EditorKey k) { return Key(k); };
    const auto shift = [](EditorKey k) { return Key(k, kShift); };
    const auto ctrl = [](EditorKey k) { return Key(k, kControl); };
    const auto both = [](EditorKey k) { return Key(k, kControl | kShift); };
    using K = EditorKey;
    const struct {
        const char* name;
        std::string text;
        std::size_t from;
        std::vector<KeyPress> keys;
        long long to;  // -1: where the first line wraps, before its blank
        long long anchor;
    } rows[] = {
        // clang-format off
        {"Ctrl+Right to the next word", words, 1, {ctrl(K::kRight)}, 8, 8},
        {"Ctrl+Left to the word's start", words, 5, {ctrl(K::kLeft)}, 1, 1},
        {"Ctrl+Left over a line break", "ab\r\ncd", 4, {ctrl(K::kLeft)}, 2, 2},
        {"Ctrl+Shift+Right selects a word", words, 1, {both(K::kRight)}, 8, 1},
        {"Shift+Right selects", words, 3, {shift(K::kRight)}, 4, 3},
        {"Down and Up come back to the column", words, 5,
         {key(K::kDown), key(K::kDown), key(K::kUp), key(K::kUp)}, 5, 5},
        {"Home", words, 5, {key(K::kHome)}, 0, 0},
        {"Ctrl+End", words, 5, {ctrl(K::kEnd)}, size, size},
        {"Ctrl+Shift+Home", words, 5, {both(K::kHome)}, 0, 5},
        {"Ctrl+A", words, 5, {ctrl(K::kA)}, size, 0},
        {"Right with a selection goes to its end", words, 3,
         {shift(K::kRight), shift(K::kRight), key(K::kRight)}, 5, 5},
        {"Up on the first line goes to the start", words, 5, {key(K::kUp)}, 0, 0},
        {"Page Down and Page Up come back", words, 5, {key(K::kPageDown), key(K::kPageUp)}, 5, 5},
        {"Down from the end of a line into a short one", "abcdef\r\nab", 5, {key(K::kDown)}, 10,
         10},
        {"Down through a short line keeps the column", "abcdef\r\nab\r\nabcdef", 5,
         {key(K::kDown), key(K::kDown)}, 17, 17},
        // End keeps the caret on its line: before the blank a wrapped line ends in, after all
        // the blanks before a line break or the end.
        {"End on a wrapped line", words, 5, {key(K::kEnd)}, -1, -1},
        {"End before a line break after blanks", "ab   \r\ncd", 1, {key(K::kEnd)}, 5, 5},
        {"End at the end after blanks", "ab  ", 1, {key(K::kEnd)}, 4, 4},
        {"Shift+End to blanks before a line break", "ab \r\n", 0, {shift(K::kEnd)}, 3, 0},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Face face;
        ResultsEditor& editor = face.editor;
        editor.SetResultsText(row.text);
        editor.SetSelection(row.from, row.from);
        // Where the first line wraps: what a click past its end gives.
        const std::size_t wrap = editor.OffsetAt({face.width, kMargin});
        const auto resolve = [wrap](long long at) {
            return at == -1 ? wrap - 1 : static_cast<std::size_t>(at);
        };
        for (const KeyPress& press : row.keys) EXPECT_TRUE(editor.KeyDown(press));
        EXPECT_EQ(editor.CaretOffset(), resolve(row.to));
        EXPECT_EQ(editor.AnchorOffset(), resolve(row.anchor));
        EXPECT_EQ(Text(editor), row.text);
    }
}

TEST(ResultsEditorTest, ClicksPlaceTheCaretAndSelectWordsAndParagraphs) {
    const std::string words = Words(2);          // " слово0 слово1"
    const std::string second = Words(100, 100);  // nine bytes a word
    const std::size_t paragraph = Words(100).size() + 2;
    const std::string paragraphs = Words(100) + "\r\n" + second + "\r\n" + Words(10, 200);
    const struct {
        const char* name;
        std::string text;
        std::size_t letter;  // clicked at
        int eighths;         // of its width from its left edge
        int clicks;
        std::size_t anchor;
        std::size_t caret;
    } rows[] = {
        {"left half of a letter", words, 3, 2, 1, 3, 3},
        {"right half of a letter", words, 3, 6, 1, 4, 4},
        {"right half of a letter before a line break", "abc\r\ndef", 2, 6, 1, 3, 3},
        {"double click on a word", words, 10, 3, 2, 8, 14},
        {"double click on a blank", words, 7, 3, 2, 7, 8},
        {"double click on the text's first word", Cp("слово0 слово1"), 2, 3, 2, 0, 6},
        {"triple click on a wrapped paragraph's middle line", paragraphs, paragraph + 9 * 50 + 3, 4,
         3, paragraph, paragraph + second.size()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Face face;
        ResultsEditor& editor = face.editor;
        editor.SetResultsText(row.text);
        editor.SetSelection(row.letter, row.letter);  // on screen
        const PixelRect left = editor.CaretRect(row.letter);
        const PixelRect right = editor.CaretRect(row.letter + 1);
        ASSERT_EQ(right.top, left.top);
        const int x = left.left + (right.left - left.left) * row.eighths / 8;
        Click(editor, {x, Centre(left).y}, row.clicks);
        EXPECT_EQ(editor.AnchorOffset(), row.anchor);
        EXPECT_EQ(editor.CaretOffset(), row.caret);
    }
    // Once the double click's interval is over, a press is a click of its own again.
    Face face;
    face.editor.SetResultsText(words);
    const PixelPoint at = Centre(face.editor.CaretRect(10));
    Click(face.editor, at, 2);
    ASSERT_TRUE(face.Fire(ResultsTimer::kTripleClick));
    Click(face.editor, at, 1);
    EXPECT_FALSE(face.editor.HasSelection());
    // A drag selects to where the button is let go, and a move after that selects no more.
    const auto left_of = [&face](std::size_t letter) {
        const PixelRect rect = face.editor.CaretRect(letter);
        return PixelPoint{rect.left + 1, Centre(rect).y};
    };
    face.editor.MousePress(left_of(1), MouseButton::kLeft, 1, 0);
    face.editor.MouseMove(left_of(5));
    face.editor.MouseRelease(left_of(5));
    face.editor.MouseMove(left_of(10));
    EXPECT_EQ(face.editor.AnchorOffset(), 1u);
    EXPECT_EQ(face.editor.CaretOffset(), 5u);
}

// Typing in a row is one step of the history: which presses in between end the run.
TEST(ResultsEditorTest, TypingInARowIsOneStep) {
    using Between = std::function<void(ResultsEditor&)>;
    const auto press = [](KeyPress key) { return [key](ResultsEditor& e) { e.KeyDown(key); }; };
    const struct {
        const char* name;
        std::vector<Between> between;
        int steps;
    } rows[] = {
        {"letters in a row", {}, 1},
        {"Shift pressed alone", {press(Key(EditorKey::kOther, kShift))}, 1},
        {"Ctrl+C with nothing selected", {press(Key(EditorKey::kC, kControl))}, 1},
        {"a word the search appends", {[](ResultsEditor& e) { e.AppendWord("x"); }}, 1},
        {"Left and Right, back to the same place",
         {press(Key(EditorKey::kLeft)), press(Key(EditorKey::kRight))},
         2},
        {"a click where the caret is",
         {[](ResultsEditor& e) { Click(e, Centre(e.CaretRect(e.CaretOffset())), 1); }},
         2},
        {"Ctrl+Z and Ctrl+Y", {press(kUndo), press(kRedo)}, 2},
        {"Backspace", {press(Key(EditorKey::kBackspace))}, 3},
        {"Enter", {press(Key(EditorKey::kReturn))}, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Face face;
        ResultsEditor& editor = face.editor;
        editor.SetResultsText("0123456789");
        editor.SetSelection(5, 5);
        Type(editor, u"ж");
        for (const Between& between : row.between) between(editor);
        const std::string before = Text(editor);
        const std::size_t from = editor.SelectionStart();
        const std::size_t selected = editor.SelectionEnd() - from;
        Type(editor, u"ю");
        EXPECT_EQ(Text(editor), Edited(before, from, selected, Cp("ю")));
        EXPECT_EQ(UndoAll(editor), row.steps);
    }
}

TEST(ResultsEditorTest, CopyAndCutKeepTheBytesCopied) {
    Face face;
    ResultsEditor& editor = face.editor;
    const std::string text = Words(30) + "\r\n" + Words(30, 30);
    const std::size_t from = 50;
    const std::size_t to = text.size() - 50;
    const std::string copied = text.substr(from, to - from);
    editor.SetResultsText(text);

    editor.SetSelection(from, to);
    editor.KeyDown(Key(EditorKey::kInsert, kControl));
    ASSERT_TRUE(face.clipboard);
    EXPECT_EQ(face.clipboard->Copy(0, face.clipboard->size()), copied);
    EXPECT_EQ(Text(editor), text);
    face.clipboard.reset();
    editor.KeyDown(Key(EditorKey::kX, kControl));
    ASSERT_TRUE(face.clipboard);
    const std::string cut = Edited(text, from, to - from, "");
    EXPECT_EQ(Text(editor), cut);

    // With no memory for the copy, Ctrl+C and Ctrl+X say so in the box's words, and the text
    // stays.
    editor.SetSelection(5, 20);
    growing_array_fails_for_tests = [] { return true; };
    editor.KeyDown(Key(EditorKey::kC, kControl));
    editor.KeyDown(Key(EditorKey::kX, kControl));
    growing_array_fails_for_tests = nullptr;
    EXPECT_EQ(face.errors, std::vector<std::string>(2, kResultsOutOfMemory));
    EXPECT_EQ(Text(editor), cut);

    // The copy keeps the bytes copied whatever the text does next, and goes back in as they are.
    editor.SelectAll();
    Type(editor, u"x");
    editor.KeyDown(kPaste);
    EXPECT_EQ(Text(editor), "x" + copied);
}

TEST(ResultsEditorTest, DropsInsertAndDragsMove) {
    Face face;
    ResultsEditor& editor = face.editor;
    const std::string text = Words(300);
    editor.SetResultsText(text);
    editor.SetSelection(0, 0);  // the view to the top
    const PixelPoint point{40, 20};
    const std::size_t offset = editor.OffsetAt(point);
    ASSERT_GT(offset, 0u);
    const std::u16string dropped = u"x\ny";
    EXPECT_TRUE(editor.DragOver(point, false));
    EXPECT_EQ(editor.DropOffset(), offset);
    EXPECT_TRUE(editor.Drop(point, false, [&] { return IncomingText{{}, dropped, {}}; }));
    const std::string expected = Edited(text, offset, 0, "x\r\ny");
    EXPECT_EQ(Text(editor), expected);
    EXPECT_EQ(editor.SelectionStart(), offset);  // what was dropped is selected
    EXPECT_EQ(editor.SelectionEnd(), offset + 4);
    // Text that does not come, or does not fit, is not taken: a program that moved it keeps it.
    EXPECT_FALSE(editor.Drop(point, false, [] { return std::optional<IncomingText>(); }));
    EXPECT_FALSE(editor.Drop(
        point, false, []() -> std::optional<IncomingText> { throw ResultsOutOfMemoryError(); }));
    EXPECT_EQ(face.errors, std::vector<std::string>{kResultsOutOfMemory});
    face.errors.clear();
    EXPECT_EQ(Text(editor), expected);

    // The selection dragged to another program goes from the box; onto itself a drag of it
    // would do nothing.
    EXPECT_FALSE(editor.DragOver(Centre(editor.CaretRect(offset + 1)), true));
    face.drag_ends = DragEnd::kMovedAway;
    const PixelPoint in_selection = Centre(editor.CaretRect(offset + 1));
    editor.MousePress(in_selection, MouseButton::kLeft, 1, 0);
    editor.MouseMove({in_selection.x + 3, in_selection.y});
    EXPECT_FALSE(face.dragged);  // not yet a drag
    editor.MouseMove({in_selection.x + 30, in_selection.y});
    ASSERT_TRUE(face.dragged);
    EXPECT_EQ(face.dragged->Copy(0, face.dragged->size()), "x\r\ny");
    EXPECT_EQ(Text(editor), text);
    ExpectExactOnAppending(editor, text);

    // A new text while a drag is over the box: the drop place does not outlive the old text.
    editor.SetSelection(editor.Size(), editor.Size());
    editor.DragOver({200, 90}, false);
    editor.SetResultsText(text + text);
    EXPECT_GT(editor.DropOffset(), editor.Size());
    Paint(face);
    EXPECT_TRUE(face.errors.empty());
    editor.Clear();

    // A middle click puts in what another program has selected, where it clicks, and once.
    face.selection_text = u"ab";
    editor.MousePress({kMargin, kMargin}, MouseButton::kMiddle, 1, 0);
    editor.MousePress({kMargin, kMargin}, MouseButton::kMiddle, 2, 0);
    EXPECT_EQ(Text(editor), "ab");
}

TEST(ResultsEditorTest, MovingTheSelectionLandsWhereDropped) {
    const struct {
        std::size_t from;
        std::size_t to;
        std::size_t at;
    } rows[] = {{10, 20, 50}, {50, 60, 10}, {1, 5, 1000}};  // the last over a line break
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at);
        Face face;
        ResultsEditor& editor = face.editor;
        const std::string text = Words(100) + "\r\n" + Words(100, 100);
        editor.SetResultsText(text);
        editor.SetSelection(row.from, row.to);
        editor.MoveSelectionTo(row.at);
        const std::string selected = text.substr(row.from, row.to - row.from);
        const std::size_t lands = row.at > row.from ? row.at - (row.to - row.from) : row.at;
        EXPECT_EQ(Text(editor),
                  Edited(Edited(text, row.from, row.to - row.from, ""), lands, 0, selected));
        EXPECT_EQ(editor.Bytes().Copy(editor.SelectionStart(), editor.SelectionEnd()), selected);
        editor.Undo();  // one step, undone whole
        EXPECT_EQ(Text(editor), text);
    }
}

// Edits go back while words arrive, the history gives way to the words of a search started
// after the edits, never to those of a search the edits were made in, and undo and redo with
// nothing to do do nothing, quietly.
TEST(ResultsEditorTest, UndoPutsBackEditsAroundTheWordsThatArrived) {
    Face face;
    ResultsEditor& editor = face.editor;
    const KeyPress redo_z = Key(EditorKey::kZ, kControl | kShift);
    for (const KeyPress& key : {kUndo, kRedo}) editor.KeyDown(key);
    Type(editor, u"п");
    for (const KeyPress& key : {kUndo, kUndo, redo_z, redo_z}) editor.KeyDown(key);
    EXPECT_TRUE(face.errors.empty());
    EXPECT_EQ(Text(editor), Cp("п"));

    const std::string text = Words(150000);
    editor.SetCapacity(text.size() + 65536);
    editor.SetResultsText(text);
    editor.SetSelection(10, 20);
    Type(editor, u"ж");
    Type(editor, u"ю");  // the same step
    for (int i = 0; i < 3; ++i) editor.AppendWord(Cp("слово"));
    const std::string words = Cp(" слово слово слово");
    const std::string edited = Edited(text, 10, 10, Cp("жю")) + words;
    EXPECT_EQ(Text(editor), edited);
    editor.KeyDown(kUndo);
    EXPECT_EQ(Text(editor), text + words);
    editor.KeyDown(redo_z);
    EXPECT_EQ(Text(editor), edited);

    // Everything replaced by a letter: the history holds the text, and when the words of a
    // search started later need its room, the editor asks once.  "Нет" ends the search with the
    // box as it was; "Да" lets the text go.
    editor.KeyDown(Key(EditorKey::kA, kControl));
    Type(editor, u"x");
    EXPECT_GE(editor.HistoryBytes(), edited.size());
    editor.BeginSearch();
    // Words handed over together go in together only within the room for plain appends, the
    // rest one by one: one a byte past the room pushes out the small step, the words after it
    // take its room, and the question comes at the first that finds none.
    const std::string long_word = " " + std::string(editor.PlainAppendRoom(), 'a');
    std::size_t taken = 0;
    editor.AppendWords(long_word, taken);
    EXPECT_EQ(taken, long_word.size());
    EXPECT_LE(editor.Size() + editor.HistoryBytes(), editor.Capacity());
    std::string words_after;
    while (words_after.size() < 1000) words_after += Cp(" слово");
    taken = 0;
    EXPECT_THROW(editor.AppendWords(words_after, taken), ResultsKeptError);
    EXPECT_TRUE(taken % 6 == 0 && taken < words_after.size());
    EXPECT_GT(editor.Size() + editor.HistoryBytes() + 6, editor.Capacity());
    const std::string appended = long_word + words_after.substr(0, taken);
    EXPECT_EQ(Text(editor), "x" + appended);
    EXPECT_THROW(editor.AppendWord(Cp("слово")), ResultsKeptError);
    ASSERT_EQ(face.questions.size(), 1u);
    EXPECT_NE(face.questions.front().find("Забыть его и искать дальше?"), std::string::npos);
    editor.EndSearch();
    EXPECT_GE(editor.HistoryBytes(), edited.size());
    const std::string held = Text(editor);
    editor.KeyDown(kUndo);
    EXPECT_EQ(Text(editor), edited + appended);
    editor.KeyDown(redo_z);
    EXPECT_EQ(Text(editor), held);
    face.answer = true;
    editor.BeginSearch();
    while (editor.CanUndo()) editor.AppendWord(Cp("слово"));
    EXPECT_EQ(face.questions.size(), 2u);
    EXPECT_LT(editor.HistoryBytes(), 1000u);

    // "Очистить" is a step: made while the search runs, its words are refused rather than
    // push it out, and Ctrl+Z gives the text back.
    const std::string before_clear = Text(editor);
    editor.Clear();
    EXPECT_EQ(editor.Size(), 0u);
    while (editor.Size() + 6 + editor.HistoryBytes() <= editor.Capacity()) {
        editor.AppendWord("abcde");
    }
    EXPECT_THROW(editor.AppendWord("abcde"), ResultsFullError);
    editor.EndSearch();
    const std::string after_clear = Text(editor);
    editor.KeyDown(kUndo);
    EXPECT_EQ(Text(editor), before_clear + after_clear);
    EXPECT_TRUE(face.errors.empty());
}

// A box a letter wide puts every byte on a line of its own: past 2^24 lines, which a float
// no longer counts exactly, the caret stays on its row and each row gives its own offset.
TEST(ResultsEditorTest, PastTwoToTheTwentyFourLinesTheCaretAndClicksStayExact) {
    Face face;
    face.Resize(2 * kMargin + Face::kAdvance, 113);
    const std::size_t size = (std::size_t{1} << 24) + 101;
    face.editor.SetResultsText(std::string(size, 'x'));
    const PixelRect caret = face.editor.CaretRect(size);
    EXPECT_GE(caret.top, 0);
    EXPECT_LT(caret.Bottom(), face.height);
    std::size_t previous = 0;
    for (int row = 0; row < face.editor.VisibleLines(); ++row) {
        const int y = kMargin + row * caret.height + caret.height / 2;
        const std::size_t offset = face.editor.OffsetAt({kMargin, y});
        EXPECT_EQ(offset, face.editor.TopOffset() + static_cast<std::size_t>(row));
        EXPECT_GT(offset, previous);
        previous = offset;
    }
    EXPECT_EQ(face.editor.OffsetAt({kMargin, kMargin - 1}), face.editor.TopOffset() - 1);
}

TEST(ResultsEditorTest, TheViewFollowsTheEndOnlyFromTheEnd) {
    constexpr long long kEnd = -1;
    const struct {
        const char* name;
        long long anchor;
        long long caret;
        std::vector<int> wheel;  // turned before the words arrive
        bool follows;
    } rows[] = {
        {"caret at the end", kEnd, kEnd, {}, true},
        {"caret elsewhere", 5, 5, {}, false},
        {"selection", 2, 10, {}, false},
        {"selection to the end", 0, kEnd, {}, false},
        {"selection from the end", kEnd, 3, {}, false},
        // As a terminal: the wheel away from the end stops the view there, back to the end it
        // follows.
        {"scrolled away", kEnd, kEnd, {120}, false},
        {"scrolled away and back", kEnd, kEnd, {120, -120 * 1000}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Face face;
        ResultsEditor& editor = face.editor;
        editor.SetResultsText(Words(2000));
        const auto resolve = [&editor](long long at) {
            return at == kEnd ? editor.Size() : static_cast<std::size_t>(at);
        };
        editor.SetSelection(resolve(row.anchor), resolve(row.caret));
        for (const int delta : row.wheel) editor.Wheel(delta);
        const std::size_t top = TopShown(editor);
        const std::size_t anchor_before = editor.AnchorOffset();
        const std::size_t caret_before = editor.CaretOffset();
        // The view stays until its next frame.
        for (int burst = 0; burst < 5; ++burst) {
            const std::size_t shown = TopShown(editor);
            const std::string words = Words(100, 10000 + burst * 100);
            if (burst % 2 == 1) {
                std::size_t taken = 0;  // as a search hands them over
                editor.AppendWords(words, taken);
            } else {
                editor.AppendResultsText(words);
            }
            EXPECT_EQ(TopShown(editor), shown);
            EXPECT_TRUE(face.Fire(ResultsTimer::kFrame));
        }
        if (row.anchor == kEnd && row.caret == kEnd) {
            EXPECT_EQ(editor.AnchorOffset(), editor.Size());  // typing still goes at the end
            EXPECT_EQ(editor.CaretOffset(), editor.Size());
        } else {
            EXPECT_EQ(editor.AnchorOffset(), anchor_before);
            EXPECT_EQ(editor.CaretOffset(), caret_before);
        }
        EXPECT_EQ(TopShown(editor) == top, !row.follows);
        EXPECT_EQ(EndShown(face), row.follows);
    }
}

// What a screen reader reads as the value, here with a window of 16 bytes.
TEST(ResultsEditorTest, TheValueIsTheStretchAroundTheCaretToldOnceAFrame) {
    const struct {
        const char* text;
        std::size_t caret;
        ByteSpan value;
    } rows[] = {
        {"", 0, {0, 0}},
        {"ab\r\ncd", 2, {0, 2}},
        {"ab\r\ncd", 4, {4, 6}},
        {"ab cd\r\nef gh\r\nij", 9, {7, 12}},
        // A long paragraph is cut at the blanks nearest the window's edges, the same for every
        // caret in one half of the window.
        {"aaa bbb ccc ddd eee fff ggg hhh", 13, {4, 19}},
        {"aaaaa bbbbb ccccc ddddd eeeee", 13, {6, 17}},
        {"aaaaa bbbbb ccccc ddddd eeeee", 9, {6, 17}},
        {"aaaaa bbbbb ccccc ddddd eeeee", 4, {0, 11}},
        // Unless the caret is in the word cut.
        {"aaaaa bbbbbbbbbbbbbbbbbbbbbbbbb", 10, {6, 20}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text + std::string(" at ") + std::to_string(row.caret));
        EXPECT_EQ(AccessibleValueSpan(BlockBytes::CopyOf(row.text, 8), row.caret, 16), row.value);
    }

    Face face;
    ResultsEditor& editor = face.editor;
    const auto told = [&face] {
        while (face.Fire(ResultsTimer::kFrame)) std::this_thread::yield();
        return std::exchange(face.value_changes, 0);
    };
    editor.SetResultsText(Words(2000));
    EXPECT_EQ(told(), 1);
    // A search's words between two frames, or the caret within its stretch: once, or not at all.
    for (int word = 0; word < 1000; ++word) editor.AppendWord(Cp("слово"));
    EXPECT_EQ(face.value_changes, 0);
    EXPECT_EQ(told(), 1);
    editor.KeyDown(Key(EditorKey::kLeft));
    EXPECT_EQ(told(), 0);
    editor.KeyDown(Key(EditorKey::kHome, kControl));
    EXPECT_EQ(told(), 1);
    EXPECT_EQ(editor.ValueSpan().from, 0u);
    EXPECT_LE(editor.ValueSpan().to, kAccessibleValueBytes);
}

// Each notch of the wheel scrolls as far as the one before it.
TEST(ResultsEditorTest, WheelNotchesScrollAlike) {
    Face face;
    face.editor.SetResultsText(Words(3000, 1000));  // ten bytes a word: lines of one length
    face.editor.SetSelection(0, 0);
    std::vector<std::size_t> tops{TopShown(face.editor)};
    for (int notch = 0; notch < 3; ++notch) {
        face.editor.Wheel(-120);
        tops.push_back(TopShown(face.editor));
    }
    EXPECT_GT(tops[1], tops[0]);
    // The first line has one byte more than the others: the text's first space.
    EXPECT_EQ(tops[2] - tops[1], tops[3] - tops[2]);
}

TEST(ResultsEditorTest, AFullBoxRefusesMoreAndKeepsItsText) {
    Face face;
    ResultsEditor& editor = face.editor;
    editor.SetCapacity(20);
    editor.AppendResultsText(" 0123456789");
    EXPECT_THROW(editor.AppendResultsText(" 0123456789"), ResultsFullError);
    std::size_t taken = 0;  // words handed over together: the first is a byte past the room
    EXPECT_THROW(editor.AppendWords(" 012345678 9", taken), ResultsFullError);
    EXPECT_EQ(taken, 0u);
    EXPECT_EQ(Text(editor), " 0123456789");

    // Typing and pasting past the limit are refused whole, with a message; a paste before
    // anything is made of it, from another program or from the box itself.
    static int growths = 0;
    const auto counted = [] { return ++growths, false; };
    const std::size_t memory = editor.MemoryBytes();
    Type(editor, u"abcdefghij");
    face.clipboard_text = u"abcdefghij";
    growing_array_fails_for_tests = counted;
    editor.KeyDown(kPaste);
    growing_array_fails_for_tests = nullptr;
    editor.SelectAll();
    editor.Copy();
    editor.SetSelection(0, 1);
    growing_array_fails_for_tests = counted;
    editor.KeyDown(kPaste);
    growing_array_fails_for_tests = nullptr;
    EXPECT_EQ(growths, 0);
    EXPECT_EQ(Text(editor), " 0123456789");
    EXPECT_EQ(editor.MemoryBytes(), memory);
    EXPECT_EQ(editor.HistoryBytes(), 0u);
    EXPECT_EQ(face.errors,
              std::vector<std::string>(
                  3, "Поле найденных совпадений вмещает не больше 20 байт: текст не добавлен."));

    // Up to the limit still goes in, and another program's text in place of a selection as
    // much as the selection makes room for.
    editor.SetSelection(editor.Size(), editor.Size());
    Type(editor, u"abcdefghi");
    EXPECT_EQ(Text(editor), " 0123456789abcdefghi");
    face.clipboard_text = u"ABCDEFGHIJ";
    editor.SetSelection(1, 11);
    editor.KeyDown(kPaste);
    EXPECT_EQ(Text(editor), " ABCDEFGHIJabcdefghi");
}

// Past a few megabytes a change of width lays the lines out behind the screen: the text at the
// top stays there, and a key that moves by lines moves as it does in a box laid out afresh,
// whether it comes before the lines are all in or after.  An undo after the change shows the
// lines at the new width too, though the deletion it undoes was made at the old one.
TEST(ResultsEditorTest, AWidthChangeKeepsItsPlaceAndKeysMoveByTheNewLines) {
    const std::string text = Words(500000);
    const std::size_t middle = text.size() / 2 + 3;
    Face fresh;
    fresh.Resize(fresh.width - 60, fresh.height);
    fresh.editor.SetResultsText(text);
    fresh.editor.SetSelection(middle, middle);
    fresh.editor.KeyDown(Key(EditorKey::kDown));

    Face face;
    ResultsEditor& editor = face.editor;
    editor.SetResultsText(text);
    editor.SetSelection(1000, 3000000);
    editor.KeyDown(Key(EditorKey::kDelete));
    editor.SetSelection(editor.Size() / 2, editor.Size() / 2);
    const PixelPoint first_row{kMargin, kMargin + 1};
    const std::size_t top = editor.OffsetAt(first_row);
    const std::size_t laid_out = editor.Lines().LinesLaidOut();
    face.Resize(face.width - 60, face.height);
    Paint(face);
    // The text has some 70,000 lines: the paint lays out what it shows, from a place close by.
    EXPECT_LT(editor.Lines().LinesLaidOut() - laid_out, 1000u);
    EXPECT_EQ(editor.CaretRect(top).top, editor.CaretRect(editor.OffsetAt(first_row)).top);
    // When the lines laid out behind come in, the text at the top stays on the top line.
    const std::size_t shown = editor.TopOffset();
    while (face.Fire(ResultsTimer::kFrame)) std::this_thread::yield();
    EXPECT_FALSE(editor.Lines().Pending());
    EXPECT_TRUE(editor.TopOffset() <= shown &&
                shown < editor.Lines().LineAt(editor.TopOffset()).end);
    editor.KeyDown(kUndo);
    editor.SetSelection(middle, middle);
    editor.KeyDown(Key(EditorKey::kDown));
    EXPECT_EQ(editor.CaretOffset(), fresh.editor.CaretOffset());
    editor.Lines().Finish();
    fresh.editor.Lines().Finish();
    for (std::size_t at = 0; at < text.size(); at += text.size() / 97) {
        ASSERT_EQ(editor.Lines().LineAt(at), fresh.editor.Lines().LineAt(at));
    }
}

// Ctrl+A, Ctrl+C, Ctrl+End, Ctrl+V, again and again: each round doubles the text, and the
// copies share their bytes; the text stays in few pieces, and its memory is what it takes.
TEST(ResultsEditorTest, CopiesPastedIntoItselfKeepTheTextInFewPieces) {
    Face face;
    ResultsEditor& editor = face.editor;
    face.clipboard_text = u" кот";
    editor.KeyDown(kPaste);
    // Another program's few letters take the room they need, not a block's.
    EXPECT_LT(editor.MemoryBytes(), BlockBytes::kBlockSize / 8);
    for (int round = 0; round < 22; ++round) {
        for (const EditorKey key : {EditorKey::kA, EditorKey::kC, EditorKey::kEnd, EditorKey::kV}) {
            editor.KeyDown(Key(key, kControl));
        }
    }
    EXPECT_EQ(editor.Size(), std::size_t{4} << 22);  // 16 MiB
    EXPECT_LE(editor.Bytes().BlockCount(), 16u * 16);
    EXPECT_LT(editor.MemoryBytes(), editor.Size() / 4);
    editor.SetSelection(0, 0);
    Type(editor, u"ж");
    EXPECT_EQ(editor.Bytes().Copy(0, 9), Cp("ж кот кот"));
    EXPECT_LE(editor.Bytes().BlockCount(), 16u * 16);
}

// What the editor says when room runs out, in each case it can: each message true of the box as
// it is, and offering what can be done.
TEST(ResultsEditorTest, RefusalsSayWhatHappenedAndWhatCanBeDone) {
    const auto fill = [](ResultsEditor& editor) {
        while (true) editor.AppendWord("abcdefghi");
    };
    const auto select_and_delete = [](ResultsEditor& editor, std::size_t to) {
        editor.SetSelection(0, to);
        editor.DeleteSelection();
    };
    const auto paste_at_end = [](Face& face, std::size_t units) {
        face.clipboard_text = std::u16string(units, u'p');
        face.editor.SetSelection(face.editor.Size(), face.editor.Size());
        face.editor.Paste();
    };

    // A paste undone before the search: Ctrl+Y brings it back, not Ctrl+Z; with a deletion done
    // before it, both.
    for (const bool deleted : {false, true}) {
        Face face;
        face.editor.SetCapacity(1 << 20);
        face.editor.SetResultsText(Words(40000));
        if (deleted) select_and_delete(face.editor, 8192);
        paste_at_end(face, 100000);
        face.editor.Undo();
        face.editor.BeginSearch();
        EXPECT_THROW(fill(face.editor), ResultsKeptError);
        face.editor.EndSearch();
        EXPECT_EQ(face.questions,
                  std::vector<std::string>{"0,1 МБ удалённого текста ещё можно вернуть (" +
                                           std::string(deleted ? "Ctrl+Z и Ctrl+Y" : "Ctrl+Y") +
                                           "), но он не сохранён. Забыть его и искать дальше?"});
    }
    // Two deletions, "Очистить", and a paste that needs the room of the deletions but not of
    // what was cleared: the editor asks, as the search does, naming what stands in the way;
    // "Нет" leaves everything as it was, "Да" lets only that go.
    {
        Face face;
        ResultsEditor& editor = face.editor;
        editor.SetCapacity(4 << 20);
        editor.SetResultsText(std::string(4'000'000, 'w'));
        select_and_delete(editor, 1'000'000);
        select_and_delete(editor, 1'000'000);
        editor.Clear();
        face.clipboard_text = std::u16string(3'000'000, u'p');
        editor.Paste();
        EXPECT_EQ(editor.Size(), 0u);
        EXPECT_EQ(face.questions,
                  std::vector<std::string>{"1,9 МБ удалённого текста ещё можно вернуть (Ctrl+Z), "
                                           "но он не сохранён, а правке нужно его место. Забыть "
                                           "его и сделать правку?"});
        face.answer = true;
        editor.Paste();
        EXPECT_EQ(editor.Size(), 3'000'000u);
        EXPECT_EQ(face.questions.size(), 2u);
        face.answer = false;
        editor.Undo();
        editor.Undo();
        EXPECT_TRUE(editor.Size() == 2'000'000 && !editor.CanUndo());
    }
    // Text and history that come to the limit and its allowance exactly, with two deletions
    // kept: typing over a selection and "Очистить" ask for the room of the older one. "Нет"
    // leaves the text and the selection as they were; "Да" lets go of that one only.
    {
        Face face;
        ResultsEditor& editor = face.editor;
        const std::size_t limit = 1 << 20;  // and as much again allowed the user's edits
        const std::size_t step = sizeof(EditStep);
        editor.SetCapacity(limit);
        editor.SetResultsText(std::string(limit, 'w'));
        select_and_delete(editor, limit - 3 * step);
        paste_at_end(face, limit - 3 * step);
        select_and_delete(editor, 8192);
        EXPECT_EQ(editor.Size() + editor.HistoryBytes(), 2 * limit);
        editor.SetSelection(10, 20);
        Type(editor, u"ab");
        editor.Clear();
        EXPECT_EQ(face.questions.size(), 2u);
        EXPECT_EQ(editor.Size(), limit - 8192);
        EXPECT_TRUE(editor.AnchorOffset() == 10 && editor.CaretOffset() == 20);
        face.answer = true;
        editor.Clear();
        EXPECT_EQ(editor.Size(), 0u);
        EXPECT_EQ(editor.Kept().Total(), limit);  // what was cleared, and the later deletion
    }
    // "Очистить" during a search: the box is half empty, and says what takes its room.
    {
        Face face;
        ResultsEditor& editor = face.editor;
        editor.SetCapacity(1 << 20);
        editor.BeginSearch();
        for (int i = 0; i < 50000; ++i) editor.AppendWord("abcdefghi");
        editor.Clear();
        std::string error;
        try {
            fill(editor);
        } catch (const ResultsFullError& full) {
            error = full.what();
        }
        editor.EndSearch();
        EXPECT_EQ(error,
                  "Поиск остановлен: место в поле найденных совпадений (предел — 1 МБ) занимает "
                  "удалённый текст (0,5 МБ), который ещё можно вернуть (Ctrl+Z). Всё найденное "
                  "осталось в поле. Чтобы искать дальше, сохраните найденное в файл и очистите "
                  "поле; чтобы сохранить и то, что удалено, сначала верните его (Ctrl+Z).");
        EXPECT_TRUE(face.questions.empty());
    }
    // Kept text from before the search, and more removed during it than letting that go would
    // free: no question, whose "Да" would lose the text and stop the search all the same.
    {
        Face face;
        ResultsEditor& editor = face.editor;
        editor.SetCapacity(1 << 20);
        editor.SetResultsText(Words(90000));
        select_and_delete(editor, 8192);
        editor.BeginSearch();
        select_and_delete(editor, 300000);
        paste_at_end(face, 300000);
        EXPECT_THROW(editor.AppendWord("abcdefghi"), ResultsFullError);
        editor.EndSearch();
        EXPECT_TRUE(face.questions.empty());
    }
    // Kept text in the way of an edit that could not be undone even without it: no question,
    // and the message says why.
    {
        Face face;
        ResultsEditor& editor = face.editor;
        editor.SetCapacity(1 << 20);
        editor.SetResultsText(std::string(1 << 20, 'w'));
        select_and_delete(editor, 8192);
        Type(editor, std::u16string(8192, u'w'));
        editor.SelectAll();
        face.clipboard_text = std::u16string(1 << 20, u'p');
        editor.Paste();
        EXPECT_EQ(editor.Size(), std::size_t{1} << 20);
        EXPECT_TRUE(face.questions.empty());
        EXPECT_EQ(face.errors, std::vector<std::string>{
                                   "Поле найденных совпадений заполнено (предел — 1 МБ): правку "
                                   "нельзя было бы отменить, текст не изменён."});
    }
    // A search inside a search that fills the box: one message, and the outer one ends quietly.
    {
        Face face;
        face.editor.SetCapacity(4096);
        face.editor.BeginSearch();
        face.editor.BeginSearch();
        EXPECT_THROW(fill(face.editor), ResultsFullError);
        face.editor.EndSearch();
        EXPECT_THROW(face.editor.AppendWord("abcdefghi"), ResultsKeptError);
        face.editor.EndSearch();
    }
}

}  // namespace
}  // namespace bukvotok
