// The results box's keys, as every face hands them to the editor: the key, the modifiers held,
// and the text it types, and what each combination does.  One table for every platform, with
// the bindings that the platforms' own text boxes share (Ctrl+Y and Ctrl+Shift+Z redo, Shift+Del
// cuts, Ctrl+Insert copies, Shift+Insert pastes).
#pragma once

#include <optional>
#include <string_view>
#include <variant>

#include "ResultsCaret.h"

namespace bukvotok {

enum class EditorKey {
    kOther,  // a key that only types, or none of the box's
    kLeft,
    kRight,
    kUp,
    kDown,
    kHome,
    kEnd,
    kPageUp,
    kPageDown,
    kBackspace,
    kDelete,
    kInsert,
    kReturn,  // and the keypad's Enter
    kA,
    kC,
    kV,
    kX,
    kY,
    kZ,
};

enum KeyModifier : unsigned { kShift = 1, kControl = 2, kAlt = 4 };

struct KeyPress {
    EditorKey key = EditorKey::kOther;
    unsigned modifiers = 0;  // KeyModifier bits
    std::u16string_view text;
};

enum class EditCommand {
    kSelectAll,
    kCopy,
    kCut,
    kPaste,
    kDeleteNext,
    kDeletePrevious,
    kDeleteNextWord,
    kDeletePreviousWord,
    kLineBreak,
    kUndo,
    kRedo,
};

struct CaretKey {
    CaretMove move;
    bool select;
};

// What a key does: a caret move, an edit, or neither (it may still type its text).
using KeyAction = std::variant<std::monostate, CaretKey, EditCommand>;
KeyAction ActionFor(EditorKey key, unsigned modifiers);

// The text a key types, when it types one: a character that is not a control character, with
// neither Ctrl nor Alt held.
bool TypesText(const KeyPress& press);

}  // namespace bukvotok
