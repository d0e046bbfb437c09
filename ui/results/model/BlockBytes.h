// The results text's bytes in blocks of about two megabytes, each its own allocation.  An edit
// moves the bytes of one block, never the gigabytes after it; a range of any size moves out of
// the text, or back in, as whole blocks, with only the block at each end of it cut in two; an
// append fills the last block as a single array would.  Read as pieces, one a block.
//
// Every change is all or nothing: whatever it needs is allocated before anything changes, and
// cutting a block in two, which may come first, changes no byte.
//
// Few pieces, whatever is copied where: every change joins the blocks around the places it
// touched wherever two neighbours hold a block's worth or less together, copying a shared one.
// So any two neighbours hold more than a block, and a text of n blocks' worth is kept in at
// most 2n + 1 pieces, however often it was copied into itself.
//
// Blocks are shared, never copied, by Share: the clipboard, the undo history and the layout's
// thread hold the same blocks as the text.  A block that more than one holder has is never
// changed in place (copy on write): the text copies it first.  Whether it is shared is read from
// its use count, which is exact only while no other thread takes or drops a hold on it at the
// same time: so every BlockBytes is made, copied and destroyed on the window's thread, and a
// thread that reads blocks reads them through a BlockBytes the window's thread keeps alive for
// it (see LayoutInBackground).
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "GrowingArray.h"

namespace bukvotok {

class BlockBytes {
public:
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    // A block holds up to this much from appends, and an edit that takes one past twice this
    // moves the edited range out as blocks of its own instead.  A huge page: a block that
    // appends fill is readied ahead (see ReadyBlocks.h).
    static constexpr std::size_t kBlockSize = 2 << 20;

    // Tests make blocks small to see edits across them.
    explicit BlockBytes(std::size_t block_size = kBlockSize) : block_size_(block_size) {}
    std::size_t BlockSize() const { return block_size_; }
    // A copy of `bytes` in blocks of `block_size`.  Raises bad_alloc.
    static BlockBytes CopyOf(std::string_view bytes, std::size_t block_size);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    char operator[](std::size_t offset) const {
        const std::size_t block = BlockOf(offset);
        return blocks_[block]->bytes[offset - starts_[block]];
    }
    std::string Copy(std::size_t from, std::size_t to) const;
    // The same range sharing this text's blocks, copying only the two it cuts: a copy of any
    // size that costs next to nothing, and keeps its bytes whatever this text does next (a
    // shared block is never changed in place).  Raises bad_alloc.
    BlockBytes Share(std::size_t from, std::size_t to) const;

    // Calls visit(piece, offset of its first byte) for the pieces that make up [from, to), in
    // order, until one returns false.
    template <typename Visit>
    void ForEachPiece(std::size_t from, std::size_t to, Visit&& visit) const {
        if (from >= to) return;
        for (std::size_t block = BlockOf(from); from < to; ++block) {
            const std::size_t start = starts_[block];
            const GrowingArray<char>& bytes = blocks_[block]->bytes;
            const std::size_t end = std::min(to, start + bytes.size());
            if (end > from &&
                !visit(std::string_view(bytes.data() + (from - start), end - from), from)) {
                return;
            }
            from = std::max(from, end);
        }
    }

    // Where the last CR before `offset` is, or kNotFound; where the first at or after it is, or
    // kNotFound.  Blocks without one are passed over unread, so paragraphs are found without
    // reading the megabytes of a text that has no line break.
    std::size_t FindBreakBefore(std::size_t offset) const;
    std::size_t FindBreakFrom(std::size_t offset) const;
    // The paragraph around `offset`: from after the CR LF before it to the CR LF after it.
    std::size_t ParagraphStart(std::size_t offset) const {
        const std::size_t found = FindBreakBefore(offset);
        return found == kNotFound ? 0 : std::min(found + 2, offset);
    }
    std::size_t ParagraphEnd(std::size_t offset) const {
        const std::size_t found = FindBreakFrom(offset);
        return found == kNotFound ? size_ : found;
    }
    // Any offset but the one between a CR and its LF: where a caret may stand.
    bool IsCaretOffset(std::size_t offset) const {
        return offset <= size_ && !(offset > 0 && (*this)[offset - 1] == '\r');
    }

    // Both or neither.
    void Append(std::string_view first, std::string_view second = {});
    // Words, each after one space, kept in blocks as Append of each in turn would keep them:
    // those that fit whole in the last block go in together.  `taken` moves past each word as it
    // goes in; one that raises bad_alloc is not in.
    void AppendWords(std::string_view spaced, std::size_t& taken);
    // Puts `in` in place of [from, to) and gives back what was there.  A small edit inside one
    // block changes it in place; anything else moves blocks out and in.
    BlockBytes Splice(std::size_t from, std::size_t to, BlockBytes&& in);
    // Moves [from, to) to `dest`, an offset outside (from, to) counted in the text as it is.
    void Move(std::size_t from, std::size_t to, std::size_t dest);

    // The memory the bytes take, a block held twice counted once.
    std::size_t MemoryBytes() const;
    std::size_t BlockCount() const { return blocks_.size(); }
    // Gives back the room the last block keeps for appends: for bytes made to be put elsewhere.
    void ReleaseSpare() noexcept;
    // Empties the bytes, handing the blocks no one else shares to be freed later.  REQUIRES
    // for nothing to allocate: room in `released` for BlockCount() more.
    void MoveBlocksTo(std::vector<GrowingArray<char>>& released);

private:
    struct Block {
        GrowingArray<char> bytes;
        std::size_t breaks = 0;  // CRs in it
        bool readied = false;    // its memory faulted in ahead (ReadyBlocks): none to ready
    };
    using BlockPointer = std::shared_ptr<Block>;
    static BlockPointer NewBlock(std::string_view bytes);
    // Whether no other text shares the block, so that it may change in place.
    bool Owned(std::size_t block) const { return blocks_[block].use_count() == 1; }
    std::size_t OwnedBlockCount() const;

    // The block that holds `offset`.  REQUIRES: offset < size().
    std::size_t BlockOf(std::size_t offset) const {
        // Reading goes on mostly where it left off: the block looked up last, or the next.
        for (std::size_t block = last_block_; block < last_block_ + 2; ++block) {
            if (block < starts_.size() && starts_[block] <= offset &&
                (block + 1 == starts_.size() || offset < starts_[block + 1])) {
                return last_block_ = block;
            }
        }
        const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
        return last_block_ = static_cast<std::size_t>(after - starts_.begin()) - 1;
    }
    // The block that starts at `offset`, blocks_.size() for the end.  REQUIRES: one does.
    std::size_t BlockStartingAt(std::size_t offset) const {
        return offset == size_ ? blocks_.size() : BlockOf(offset);
    }
    // Makes `offset` a block boundary, changing no byte.
    void Cut(std::size_t offset);
    bool SpliceInPlace(std::size_t from, std::size_t to, const BlockBytes& in, BlockBytes& out);
    // Joins the neighbours from `first` to past `last` that hold a block or less together, if
    // memory allows; changes no byte.
    void Tidy(std::size_t first, std::size_t last) noexcept;
    bool Join(std::size_t left) noexcept;
    // One block holding exactly these bytes.
    static BlockBytes Single(std::string_view bytes, std::size_t block_size);
    void Reindex(std::size_t from_block) noexcept;

    std::vector<BlockPointer> blocks_;  // none empty
    std::vector<std::size_t> starts_;   // of each block in the text
    // Where BlockOf found a block last.  Only one thread reads a BlockBytes: the window's
    // thread its text, the layout's thread its own copy.
    mutable std::size_t last_block_ = 0;
    std::size_t size_ = 0;
    std::size_t block_size_;
};

}  // namespace bukvotok
