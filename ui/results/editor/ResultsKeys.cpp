#include "ResultsKeys.h"

namespace bukvotok {

namespace {

struct Binding {
    EditorKey key;
    unsigned modifiers;
    KeyAction action;
};

constexpr CaretKey Moves(CaretMove move) { return {move, false}; }
constexpr CaretKey Selects(CaretMove move) { return {move, true}; }

const Binding kBindings[] = {
    {EditorKey::kRight, 0, Moves(CaretMove::kNextChar)},
    {EditorKey::kRight, kShift, Selects(CaretMove::kNextChar)},
    {EditorKey::kLeft, 0, Moves(CaretMove::kPreviousChar)},
    {EditorKey::kLeft, kShift, Selects(CaretMove::kPreviousChar)},
    {EditorKey::kRight, kControl, Moves(CaretMove::kNextWord)},
    {EditorKey::kRight, kControl | kShift, Selects(CaretMove::kNextWord)},
    {EditorKey::kLeft, kControl, Moves(CaretMove::kPreviousWord)},
    {EditorKey::kLeft, kControl | kShift, Selects(CaretMove::kPreviousWord)},
    {EditorKey::kDown, 0, Moves(CaretMove::kNextLine)},
    {EditorKey::kDown, kShift, Selects(CaretMove::kNextLine)},
    {EditorKey::kUp, 0, Moves(CaretMove::kPreviousLine)},
    {EditorKey::kUp, kShift, Selects(CaretMove::kPreviousLine)},
    {EditorKey::kPageDown, 0, Moves(CaretMove::kNextPage)},
    {EditorKey::kPageDown, kShift, Selects(CaretMove::kNextPage)},
    {EditorKey::kPageUp, 0, Moves(CaretMove::kPreviousPage)},
    {EditorKey::kPageUp, kShift, Selects(CaretMove::kPreviousPage)},
    {EditorKey::kHome, 0, Moves(CaretMove::kStartOfLine)},
    {EditorKey::kHome, kShift, Selects(CaretMove::kStartOfLine)},
    {EditorKey::kEnd, 0, Moves(CaretMove::kEndOfLine)},
    {EditorKey::kEnd, kShift, Selects(CaretMove::kEndOfLine)},
    {EditorKey::kHome, kControl, Moves(CaretMove::kStartOfDocument)},
    {EditorKey::kHome, kControl | kShift, Selects(CaretMove::kStartOfDocument)},
    {EditorKey::kEnd, kControl, Moves(CaretMove::kEndOfDocument)},
    {EditorKey::kEnd, kControl | kShift, Selects(CaretMove::kEndOfDocument)},

    {EditorKey::kA, kControl, EditCommand::kSelectAll},
    {EditorKey::kC, kControl, EditCommand::kCopy},
    {EditorKey::kInsert, kControl, EditCommand::kCopy},
    {EditorKey::kX, kControl, EditCommand::kCut},
    {EditorKey::kDelete, kShift, EditCommand::kCut},
    {EditorKey::kV, kControl, EditCommand::kPaste},
    {EditorKey::kInsert, kShift, EditCommand::kPaste},
    {EditorKey::kDelete, 0, EditCommand::kDeleteNext},
    {EditorKey::kBackspace, 0, EditCommand::kDeletePrevious},
    {EditorKey::kBackspace, kShift, EditCommand::kDeletePrevious},
    {EditorKey::kDelete, kControl, EditCommand::kDeleteNextWord},
    {EditorKey::kBackspace, kControl, EditCommand::kDeletePreviousWord},
    {EditorKey::kReturn, 0, EditCommand::kLineBreak},
    {EditorKey::kReturn, kShift, EditCommand::kLineBreak},
    {EditorKey::kZ, kControl, EditCommand::kUndo},
    {EditorKey::kY, kControl, EditCommand::kRedo},
    {EditorKey::kZ, kControl | kShift, EditCommand::kRedo},
};

}  // namespace

KeyAction ActionFor(EditorKey key, unsigned modifiers) {
    for (const Binding& binding : kBindings) {
        if (binding.key == key && binding.modifiers == modifiers) return binding.action;
    }
    return std::monostate{};
}

bool TypesText(const KeyPress& press) {
    if (press.text.empty() || (press.modifiers & (kControl | kAlt)) != 0) return false;
    const char16_t first = press.text.front();
    return first >= 0x20 && first != 0x7F && !(first >= 0x80 && first < 0xA0);
}

}  // namespace bukvotok
