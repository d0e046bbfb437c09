// The results text's bytes in blocks of about a megabyte, each its own allocation: an edit
// moves the bytes of one block, never the gigabytes after it, and an append fills the last
// block as a single array would.  Read as pieces, one a block.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "GrowingArray.h"

namespace bukvotok {

class BlockBytes {
public:
    // A block holds up to this much from appends, and an edit that takes one past twice this
    // cuts it up again.
    static constexpr std::size_t kBlockSize = 1 << 20;

    // Tests make blocks small to see edits across them.
    explicit BlockBytes(std::size_t block_size = kBlockSize) : block_size_(block_size) {}
    std::size_t BlockSize() const { return block_size_; }

    std::size_t size() const { return size_; }
    char operator[](std::size_t offset) const {
        const std::size_t block = BlockOf(offset);
        return blocks_[block][offset - starts_[block]];
    }

    // Both or neither, should memory run out.
    void Append(std::string_view first, std::string_view second = {});
    // Raises bad_alloc with the bytes unchanged.
    void Replace(std::size_t from, std::size_t to, std::string_view bytes);
    std::string Copy(std::size_t from, std::size_t to) const;

    // Calls visit(piece, offset of its first byte) for the pieces that make up [from, to), in
    // order, until one returns false.
    template <typename Visit>
    void ForEachPiece(std::size_t from, std::size_t to, Visit&& visit) const {
        if (from >= to) return;
        for (std::size_t block = BlockOf(from); from < to; ++block) {
            const std::size_t start = starts_[block];
            const std::size_t end = std::min(to, start + blocks_[block].size());
            if (end > from &&
                !visit(std::string_view(blocks_[block].data() + (from - start), end - from),
                       from)) {
                return;
            }
            from = std::max(from, end);
        }
    }

    std::size_t MemoryBytes() const;
    // Empties the bytes, handing their blocks to be freed later.
    void MoveBlocksTo(std::vector<GrowingArray<char>>& released) {
        released.reserve(released.size() + blocks_.size());
        for (auto& block : blocks_) released.push_back(std::move(block));
        blocks_.clear();
        starts_.clear();
        size_ = 0;
    }

private:
    // The block that holds `offset`, or the last one for the end.  REQUIRES: a block.
    std::size_t BlockOf(std::size_t offset) const {
        const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
        return static_cast<std::size_t>(after - starts_.begin()) - 1;
    }
    void Reindex(std::size_t from_block);

    std::vector<GrowingArray<char>> blocks_;
    std::vector<std::size_t> starts_;  // of each block in the text
    std::size_t size_ = 0;
    std::size_t block_size_;
};

}  // namespace bukvotok
