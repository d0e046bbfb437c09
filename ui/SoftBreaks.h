// The results box keeps its one long line as many short text blocks.  The separators between
// those blocks are soft breaks: no part of the text, invisible to whoever reads or saves it.
#pragma once

#include <span>
#include <utility>
#include <vector>

namespace bukvotok {

// The document positions of the block separators that are soft breaks, ascending.
//
// They follow the edits from the document's change reports alone (where, how much removed, how
// much added) rather than from state kept in the blocks: when Qt splits a block, its state stays
// with the first half, and when it joins two, the joined block takes the second one's state, so
// no per-block flag comes through both a split and a join right.  A separator that an edit
// inserts is hard, since only the user inserts those.
class SoftBreaks {
public:
    void Clear() { positions_.clear(); }
    void Assign(std::vector<int> ascending) { positions_ = std::move(ascending); }
    void Add(int position);

    bool Contains(int position) const;
    // The soft breaks at positions in [from, to).
    std::span<const int> Within(int from, int to) const;

    // Follows one reported change: separators in the removed range are gone with it, later ones
    // move by the difference.
    void Update(int position, int removed, int added);

private:
    std::vector<int> positions_;
};

}  // namespace bukvotok
