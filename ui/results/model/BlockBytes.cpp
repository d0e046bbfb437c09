#include "BlockBytes.h"

#include <span>

namespace bukvotok {

void BlockBytes::Append(std::string_view first, std::string_view second) {
    const std::size_t more = first.size() + second.size();
    if (more == 0) return;
    if (blocks_.empty() || blocks_.back().size() + more > block_size_) {
        GrowingArray<char> block;
        block.Reserve(std::max(block_size_, more));  // pages not yet written cost nothing
        block.Append(first, second);
        starts_.reserve(starts_.size() + 1);
        blocks_.push_back(std::move(block));
        starts_.push_back(size_);
    } else {
        blocks_.back().Append(first, second);
    }
    size_ += more;
}

void BlockBytes::Replace(std::size_t from, std::size_t to, std::string_view bytes) {
    if (blocks_.empty()) return Append(bytes);
    const std::size_t first = BlockOf(from);
    GrowingArray<char>& block = blocks_[first];
    const std::size_t at = from - starts_[first];
    if (to - from <= block.size() - at &&
        block.size() - (to - from) + bytes.size() <= 2 * block_size_) {
        block.Replace(at, at + (to - from), {bytes.data(), bytes.size()});
        size_ = size_ - (to - from) + bytes.size();
        if (block.empty() && blocks_.size() > 1) {
            blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(first));
            starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(first));
        }
        Reindex(first);
        return;
    }
    // Across blocks, or too much for one: the blocks it touches are cut up afresh.
    const std::size_t last = BlockOf(to);
    const std::size_t tail_at = to - starts_[last];
    BlockBytes fresh(block_size_);
    fresh.Append({block.data(), at});
    fresh.Append(bytes);
    fresh.Append({blocks_[last].data() + tail_at, blocks_[last].size() - tail_at});
    std::vector<GrowingArray<char>> blocks;
    blocks.reserve(blocks_.size() + fresh.blocks_.size());
    std::vector<std::size_t> starts(blocks.capacity());
    for (std::size_t i = 0; i < first; ++i) blocks.push_back(std::move(blocks_[i]));
    for (auto& made : fresh.blocks_) blocks.push_back(std::move(made));
    for (std::size_t i = last + 1; i < blocks_.size(); ++i) blocks.push_back(std::move(blocks_[i]));
    if (blocks.empty()) blocks.emplace_back();
    starts.resize(blocks.size());
    blocks_ = std::move(blocks);
    starts_ = std::move(starts);
    size_ = size_ - (to - from) + bytes.size();
    Reindex(0);
}

void BlockBytes::Reindex(std::size_t from_block) {
    std::size_t start =
        from_block == 0 ? 0 : starts_[from_block - 1] + blocks_[from_block - 1].size();
    for (std::size_t i = from_block; i < blocks_.size(); ++i) {
        starts_[i] = start;
        start += blocks_[i].size();
    }
}

std::string BlockBytes::Copy(std::size_t from, std::size_t to) const {
    std::string bytes;
    bytes.reserve(to - from);
    ForEachPiece(from, to, [&bytes](std::string_view piece, std::size_t) {
        bytes += piece;
        return true;
    });
    return bytes;
}

std::size_t BlockBytes::MemoryBytes() const {
    std::size_t bytes = starts_.capacity() * sizeof(std::size_t);
    for (const auto& block : blocks_) bytes += block.capacity();
    return bytes;
}

}  // namespace bukvotok
