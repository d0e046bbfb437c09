// An index that answers "which is the first entry, in file order, whose case-folded beginning
// equals this case-folded probe?" without looking at the other entries.
//
// It is a compressed trie over the folded entries.  Each node stands for one folded string (its
// path from the root) and, through its incoming edge, for every shorter string down to its
// parent's.  A node holds:
//   - end: the length of its string; the edge covers lengths (parent end, end];
//   - first: the smallest entry index in its subtree, which is the answer for every probe that
//     ends on its edge, plus a flag telling whether that entry equals the node's string
//     byte for byte (the exact-match test of the search, decided once at build time);
//   - its children, stored next to each other and sorted by the first byte of their edges.
// Edge bytes are not stored: they are read, folded, from the node's first entry, which shares
// the whole path.  A string ends inside an edge only when no entry ends there, so every probe
// that stops inside an edge has no exact match.
//
// Children whose edge starts with a byte of 224-255 (а-я) come last; a 32-bit mask marks which
// of those letters are present, so the search's step to a child is a mask test and a popcount.
//
// Lookups cost one step per probe byte whatever the dictionary's size.  A Cursor is a position
// in the trie; the search keeps one and narrows it by a letter at a time once a walk is past
// the first letters, which LetterTable answers.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

#include "EntryTable.h"
#include "FoldCase.h"

namespace bukvotok {

class PrefixIndex {
public:
    struct Cursor {
        std::uint32_t node = kNoNode;
        std::uint32_t depth = 0;

        bool Valid() const { return node != kNoNode; }
    };

    // An index of no entries: every probe but the empty one finds nothing.
    PrefixIndex() : nodes_(1) {}

    // REQUIRES: fewer than 2^31 entries, each shorter than 2^32 - 1 bytes.  Raises bad_alloc.
    void Build(const EntryTable& table);

    // The cursor for the empty string: always valid, even with no entries.
    Cursor Root() const { return Cursor{0, 0}; }

    // Narrows the cursor by one already folded byte; invalid when no entry continues that way.
    Cursor Step(const EntryTable& table, Cursor cursor, unsigned char folded) const;

    // The same for a small letter а-я (224-255), the search's hot path.
    Cursor StepSmallLetter(const EntryTable& table, Cursor cursor, unsigned char letter) const;

    // Bit b: whether small letter 224 + b continues the cursor's string.  REQUIRES: a valid
    // cursor.
    std::uint32_t SmallLetters(const EntryTable& table, Cursor cursor) const;

    Cursor Seek(const EntryTable& table, std::string_view probe) const;

    // The first entry at the cursor, or -1 for an invalid cursor or an empty index.
    std::int32_t FirstEntry(Cursor cursor) const;

    // Whether the first entry at the cursor equals the cursor's folded string byte for byte.
    bool FirstEntryIsExact(Cursor cursor) const;

    std::size_t NodeCount() const { return nodes_.size(); }
    // The nodes in use; the rest of the reservation is never touched, so it takes no memory.
    std::size_t MemoryBytes() const { return nodes_.size() * sizeof(Node); }

private:
    static constexpr std::uint32_t kNoNode = 0xFFFFFFFFu;
    static constexpr std::uint32_t kExactFlag = 0x80000000u;
    static constexpr std::uint32_t kNoEntry = 0x7FFFFFFFu;

    struct Node {
        std::uint32_t end = 0;
        std::uint32_t first = kNoEntry;  // entry index, with kExactFlag
        std::uint32_t first_child = 0;
        std::uint32_t small_letters = 0;  // bit b: a child whose edge starts with byte 224 + b
        unsigned char first_byte = 0;     // of this node's own edge, folded
        unsigned char child_count = 0;    // a line never holds CR, LF or NUL: at most 253
    };

    unsigned char EdgeByte(const EntryTable& table, const Node& node, std::uint32_t depth) const {
        const std::uint32_t entry = node.first & ~kExactFlag;
        return FoldCase(table.bytes[static_cast<std::size_t>(table.bounds[entry] + depth)]);
    }

    std::vector<Node> nodes_;
};

inline PrefixIndex::Cursor PrefixIndex::StepSmallLetter(const EntryTable& table, Cursor cursor,
                                                        unsigned char letter) const {
    const Node& node = nodes_[cursor.node];
    if (cursor.depth < node.end) {
        if (EdgeByte(table, node, cursor.depth) != letter) return Cursor{};
        return Cursor{cursor.node, cursor.depth + 1};
    }
    const std::uint32_t bit = 1u << (letter - 224u);
    if (!(node.small_letters & bit)) return Cursor{};
    const auto small_count = static_cast<std::uint32_t>(std::popcount(node.small_letters));
    const auto before = static_cast<std::uint32_t>(std::popcount(node.small_letters & (bit - 1)));
    return Cursor{node.first_child + node.child_count - small_count + before, cursor.depth + 1};
}

}  // namespace bukvotok
