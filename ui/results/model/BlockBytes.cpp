#include "BlockBytes.h"

#include <cstring>
#include <span>

#include "PagesAhead.h"
#include "ReadyBlocks.h"

namespace bukvotok {

namespace {

// An edit of up to this much on either side goes into its block in place, as typing does.
constexpr std::size_t kInPlaceLimit = 64 << 10;

std::size_t CountBreaks(std::string_view bytes) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
}

// Appends that reach a new stretch of their block, or start one, ready the next stretch's pages
// together (see PagesAhead.h).
constexpr std::size_t kPagesAhead = 64 << 10;

void ReadyAhead(GrowingArray<char>& bytes, std::size_t size_before) {
    if (size_before != 0 && bytes.size() / kPagesAhead == size_before / kPagesAhead) return;
    const std::size_t room = bytes.capacity() - bytes.size();
    ReadyPagesForWriting(bytes.data() + bytes.size(), std::min(room, kPagesAhead));
}

}  // namespace

BlockBytes BlockBytes::CopyOf(std::string_view bytes, std::size_t block_size) {
    BlockBytes copy(block_size);
    const std::size_t blocks = (bytes.size() + block_size - 1) / block_size;
    copy.blocks_.reserve(blocks);
    copy.starts_.reserve(blocks);
    for (std::size_t at = 0; at < bytes.size(); at += block_size)
        copy.Append(bytes.substr(at, block_size));
    return copy;
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

std::size_t BlockBytes::FindBreakBefore(std::size_t offset) const {
    if (offset == 0 || blocks_.empty()) return kNotFound;
    for (std::size_t block = BlockOf(offset - 1);; --block) {
        const Block& b = *blocks_[block];
        if (b.breaks > 0) {
            const std::size_t end = std::min(offset - starts_[block], b.bytes.size());
            const void* found = ::memrchr(b.bytes.data(), '\r', end);
            if (found != nullptr) {
                return starts_[block] +
                       static_cast<std::size_t>(static_cast<const char*>(found) - b.bytes.data());
            }
        }
        if (block == 0) return kNotFound;
    }
}

std::size_t BlockBytes::FindBreakFrom(std::size_t offset) const {
    if (offset >= size_) return kNotFound;
    for (std::size_t block = BlockOf(offset); block < blocks_.size(); ++block) {
        const Block& b = *blocks_[block];
        if (b.breaks == 0) continue;
        const std::size_t begin = offset > starts_[block] ? offset - starts_[block] : 0;
        const void* found = std::memchr(b.bytes.data() + begin, '\r', b.bytes.size() - begin);
        if (found != nullptr) {
            return starts_[block] +
                   static_cast<std::size_t>(static_cast<const char*>(found) - b.bytes.data());
        }
    }
    return kNotFound;
}

void BlockBytes::Append(std::string_view first, std::string_view second) {
    const std::size_t more = first.size() + second.size();
    if (more == 0) return;
    const std::size_t breaks = CountBreaks(first) + CountBreaks(second);
    const bool room = !blocks_.empty() && blocks_.back()->bytes.size() + more <= block_size_;
    if (room && Owned(blocks_.size() - 1)) {
        const std::size_t size_before = blocks_.back()->bytes.size();
        blocks_.back()->bytes.Append(first, second);
        if (!blocks_.back()->readied) ReadyAhead(blocks_.back()->bytes, size_before);
        blocks_.back()->breaks += breaks;
        size_ += more;
        return;
    }
    auto block = std::make_shared<Block>();
    // A block for appends to fill: one readied ahead, if there is one of its size.
    if (more <= block_size_) {
        if (char* const ready = TakeReadyBlock(block_size_)) {
            block->bytes.Adopt(ready, block_size_);
            block->readied = true;
        }
    }
    block->bytes.Reserve(std::max(block_size_, more));  // pages not yet written cost nothing
    if (room) {
        // A last block shared with a copy is copied, not left as a small piece before the new.
        const Block& last = *blocks_.back();
        block->bytes.Append(std::span<const char>(last.bytes.data(), last.bytes.size()));
        block->breaks = last.breaks;
    }
    block->bytes.Append(first, second);
    block->breaks += breaks;
    if (!block->readied) ReadyAhead(block->bytes, 0);
    if (room) {
        blocks_.back() = std::move(block);
    } else {
        starts_.reserve(starts_.size() + 1);
        blocks_.push_back(std::move(block));
        starts_.push_back(size_);
    }
    size_ += more;
}

void BlockBytes::AppendWords(std::string_view spaced, std::size_t& taken) {
    while (taken < spaced.size()) {
        const std::string_view rest = spaced.substr(taken);
        if (!blocks_.empty() && Owned(blocks_.size() - 1)) {
            Block& last = *blocks_.back();
            const std::size_t room = block_size_ - std::min(block_size_, last.bytes.size());
            std::size_t fit = rest.size();
            // Else up to the last word that ends within the room, where the next one begins.
            if (fit > room) fit = rest.substr(0, room + 1).rfind(' ');
            if (fit != std::string_view::npos && fit > 0) {
                const std::string_view words = rest.substr(0, fit);
                const std::size_t size_before = last.bytes.size();
                last.bytes.Append(words, {});
                if (!last.readied) ReadyAhead(last.bytes, size_before);
                last.breaks += CountBreaks(words);
                size_ += fit;
                taken += fit;
                continue;
            }
        }
        // A word that starts a block, as Append starts it.
        const std::size_t end = std::min(rest.find(' ', 1), rest.size());
        Append(rest.substr(0, end));
        taken += end;
    }
}

void BlockBytes::ReleaseSpare() noexcept {
    if (!blocks_.empty() && Owned(blocks_.size() - 1)) blocks_.back()->bytes.ShrinkToFit();
}

BlockBytes::BlockPointer BlockBytes::NewBlock(std::string_view bytes) {
    auto block = std::make_shared<Block>();
    block->bytes.Append(std::span<const char>(bytes.data(), bytes.size()));
    block->breaks = CountBreaks(bytes);
    return block;
}

BlockBytes BlockBytes::Single(std::string_view bytes, std::size_t block_size) {
    BlockBytes single(block_size);
    single.blocks_.reserve(1);
    single.starts_.reserve(1);
    single.blocks_.push_back(NewBlock(bytes));
    single.starts_.push_back(0);
    single.size_ = bytes.size();
    return single;
}

void BlockBytes::Cut(std::size_t offset) {
    if (offset >= size_) return;
    const std::size_t block = BlockOf(offset);
    const std::size_t at = offset - starts_[block];
    if (at == 0) return;
    const GrowingArray<char>& bytes = blocks_[block]->bytes;
    BlockPointer tail = NewBlock({bytes.data() + at, bytes.size() - at});
    // A block others share keeps its bytes: the head becomes a block of its own.
    BlockPointer head = Owned(block) ? nullptr : NewBlock({bytes.data(), at});
    starts_.reserve(starts_.size() + 1);
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(tail));
    // From here nothing allocates.
    starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(block) + 1, offset);
    if (head) {
        blocks_[block] = std::move(head);
    } else {
        blocks_[block]->breaks -= blocks_[block + 1]->breaks;
        blocks_[block]->bytes.Resize(at);
    }
}

bool BlockBytes::SpliceInPlace(std::size_t from, std::size_t to, const BlockBytes& in,
                               BlockBytes& out) {
    if (blocks_.empty() || to - from > kInPlaceLimit || in.size() > kInPlaceLimit ||
        in.blocks_.size() > 1) {
        return false;
    }
    const std::size_t block = from == size_ ? blocks_.size() - 1 : BlockOf(from);
    if (!Owned(block)) return false;
    Block& b = *blocks_[block];
    const std::size_t at = from - starts_[block];
    if (to - starts_[block] > b.bytes.size() ||
        b.bytes.size() - (to - from) + in.size() > 2 * block_size_) {
        return false;
    }
    if (to > from) out = Single(std::string_view(b.bytes.data() + at, to - from), block_size_);
    const std::span<const char> inserted =
        in.empty() ? std::span<const char>()
                   : std::span<const char>(in.blocks_[0]->bytes.data(), in.size());
    b.bytes.Replace(at, at + (to - from), inserted);
    b.breaks = b.breaks - (out.empty() ? 0 : out.blocks_[0]->breaks) +
               (in.empty() ? 0 : in.blocks_[0]->breaks);
    size_ = size_ - (to - from) + in.size();
    if (b.bytes.empty()) {
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
        starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(block));
    }
    Reindex(block);
    Tidy(block > 0 ? block - 1 : 0, block);
    return true;
}

BlockBytes BlockBytes::Splice(std::size_t from, std::size_t to, BlockBytes&& in) {
    BlockBytes out(block_size_);
    if (SpliceInPlace(from, to, in, out)) return out;
    const std::size_t room = blocks_.size() + 2 + in.blocks_.size();
    blocks_.reserve(room);
    starts_.reserve(room);
    Cut(from);
    Cut(to);
    const std::size_t first = BlockStartingAt(from);
    const std::size_t last = BlockStartingAt(to);
    out.blocks_.reserve(last - first);
    out.starts_.reserve(last - first);
    // From here nothing allocates.
    const auto begin = blocks_.begin();
    for (std::size_t block = first; block < last; ++block) {
        out.starts_.push_back(out.size_);
        out.size_ += blocks_[block]->bytes.size();
        out.blocks_.push_back(std::move(blocks_[block]));
    }
    blocks_.erase(begin + static_cast<std::ptrdiff_t>(first),
                  begin + static_cast<std::ptrdiff_t>(last));
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(first),
                   std::make_move_iterator(in.blocks_.begin()),
                   std::make_move_iterator(in.blocks_.end()));
    starts_.resize(blocks_.size());
    size_ = size_ - (to - from) + in.size_;
    const std::size_t put = in.blocks_.size();
    in.blocks_.clear();
    in.starts_.clear();
    in.size_ = 0;
    Reindex(first);
    // The seams at both ends, and between the blocks put in, which hold more than a block two
    // by two unless they were cut from a text of few bytes.
    Tidy(first > 0 ? first - 1 : 0, first + put);
    return out;
}

BlockBytes BlockBytes::Share(std::size_t from, std::size_t to) const {
    BlockBytes shared(block_size_);
    if (from >= to) return shared;
    const std::size_t first = BlockOf(from);
    const std::size_t last = BlockOf(to - 1);
    shared.blocks_.reserve(last - first + 1);
    shared.starts_.reserve(last - first + 1);
    for (std::size_t block = first; block <= last; ++block) {
        const std::size_t start = starts_[block];
        const GrowingArray<char>& bytes = blocks_[block]->bytes;
        const std::size_t a = std::max(from, start);
        const std::size_t b = std::min(to, start + bytes.size());
        shared.starts_.push_back(shared.size_);
        if (a == start && b == start + bytes.size()) {
            shared.blocks_.push_back(blocks_[block]);
        } else {
            shared.blocks_.push_back(NewBlock({bytes.data() + (a - start), b - a}));
        }
        shared.size_ += b - a;
    }
    return shared;
}

void BlockBytes::Move(std::size_t from, std::size_t to, std::size_t dest) {
    if (from >= to || (dest >= from && dest <= to)) return;
    const std::size_t room = blocks_.size() + 3;
    blocks_.reserve(room);
    starts_.reserve(room);
    Cut(from);
    Cut(to);
    Cut(dest);
    // From here nothing allocates.
    const auto at = [this](std::size_t offset) {
        return blocks_.begin() + static_cast<std::ptrdiff_t>(BlockStartingAt(offset));
    };
    const std::size_t first = std::min(from, dest);
    if (dest < from) {
        std::rotate(at(dest), at(from), at(to));
    } else {
        std::rotate(at(from), at(to), at(dest));
    }
    const std::size_t first_block = BlockOf(first);
    Reindex(first_block);
    const std::size_t lands = dest < from ? dest : dest - (to - from);
    for (const std::size_t seam : {first, lands, lands + (to - from), std::max(to, dest)}) {
        if (seam == 0 || seam >= size_) continue;
        const std::size_t left = BlockOf(seam - 1);
        Tidy(left > 0 ? left - 1 : 0, left);
    }
}

void BlockBytes::Tidy(std::size_t first, std::size_t last) noexcept {
    for (std::size_t left = first; left <= last && left + 1 < blocks_.size();) {
        if (!Join(left)) {
            ++left;
        } else if (last > left) {
            --last;  // the block after the joined one is one place nearer
        }
    }
}

bool BlockBytes::Join(std::size_t left) noexcept {
    const Block& a = *blocks_[left];
    const Block& b = *blocks_[left + 1];
    if (a.bytes.size() + b.bytes.size() > block_size_) return false;
    const std::span<const char> right(b.bytes.data(), b.bytes.size());
    try {
        if (Owned(left)) {
            blocks_[left]->bytes.Append(right);
            blocks_[left]->breaks += b.breaks;
        } else {
            auto joined = std::make_shared<Block>();
            joined->bytes.Append(std::span<const char>(a.bytes.data(), a.bytes.size()), right);
            joined->breaks = a.breaks + b.breaks;
            blocks_[left] = std::move(joined);
        }
    } catch (const std::bad_alloc&) {
        return false;  // the bytes stay as they are, in two blocks
    }
    // The blocks after it start where they did.
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(left) + 1);
    starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(left) + 1);
    return true;
}

void BlockBytes::Reindex(std::size_t from_block) noexcept {
    std::size_t start =
        from_block == 0 ? 0 : starts_[from_block - 1] + blocks_[from_block - 1]->bytes.size();
    for (std::size_t i = from_block; i < blocks_.size(); ++i) {
        starts_[i] = start;
        start += blocks_[i]->bytes.size();
    }
}

std::size_t BlockBytes::MemoryBytes() const {
    std::size_t bytes =
        starts_.capacity() * sizeof(std::size_t) + blocks_.capacity() * sizeof(BlockPointer);
    // A text pasted into itself holds its blocks twice, and they cost once.
    std::vector<const Block*> distinct;
    distinct.reserve(blocks_.size());
    for (const auto& block : blocks_) distinct.push_back(block.get());
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    // Each block with its use count, in one allocation, and its bytes in another.
    constexpr std::size_t kPerBlock = sizeof(Block) + 2 * sizeof(void*);
    for (const Block* block : distinct) bytes += kPerBlock + block->bytes.capacity();
    return bytes;
}

std::size_t BlockBytes::OwnedBlockCount() const {
    std::size_t owned = 0;
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        if (Owned(block)) ++owned;
    }
    return owned;
}

void BlockBytes::MoveBlocksTo(std::vector<GrowingArray<char>>& released) {
    released.reserve(released.size() + OwnedBlockCount());
    // Blocks others share stay theirs, to be freed when they let go.
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        if (Owned(block)) released.push_back(std::move(blocks_[block]->bytes));
    }
    blocks_.clear();
    starts_.clear();
    size_ = 0;
}

}  // namespace bukvotok
