#include "PrefixIndex.h"

#include <algorithm>
#include <array>

namespace bukvotok {

namespace {

// A range of entries that share a folded prefix and still has to become a node.
struct PendingNode {
    std::uint32_t node;
    std::uint32_t begin;  // into the order array
    std::uint32_t end;
    std::uint32_t edge_start;  // length of the parent's string
};

// Ranges up to this size are partitioned by insertion sort; larger ones by counting, whose
// 257 counters would cost more than the sort on a handful of entries.
constexpr std::uint32_t kSmallRange = 48;

// The partition key of an entry at a depth: 0 when the entry ends there, else 1 + folded byte.
inline unsigned KeyAt(const EntryTable& table, std::uint32_t entry, std::uint32_t depth) {
    const std::uint64_t begin = table.bounds[entry];
    if (begin + depth >= table.bounds[entry + 1]) return 0;
    return 1u + FoldCase(table.bytes[static_cast<std::size_t>(begin + depth)]);
}

}  // namespace

void PrefixIndex::Build(const EntryTable& table) {
    const auto count = static_cast<std::uint32_t>(table.Count());
    nodes_.clear();
    // A compressed trie over n keys has at most 2n + 1 nodes; reserving that bound keeps the
    // nodes from being copied while the trie grows, and pages never touched cost nothing.
    nodes_.reserve(2 * std::size_t{count} + 1);
    nodes_.emplace_back();
    if (count == 0) return;

    // Entry indices, partitioned range by range; each range stays in file order (the partition
    // is stable), so its first element is the smallest index below the node.
    std::vector<std::uint32_t> order(count);
    for (std::uint32_t i = 0; i < count; ++i) order[i] = i;
    std::vector<std::uint32_t> scratch(count);
    std::vector<PendingNode> pending{{0, 0, count, 0}};
    std::vector<unsigned> keys;

    while (!pending.empty()) {
        const PendingNode item = pending.back();
        pending.pop_back();
        std::uint32_t* const range = order.data() + item.begin;
        const std::uint32_t size = item.end - item.begin;
        const std::uint32_t first = range[0];

        // The node's string runs as far as all its entries agree and none of them ends.
        std::uint32_t end = item.edge_start;
        if (item.node != 0) {
            const auto first_length =
                static_cast<std::uint32_t>(table.bounds[first + 1] - table.bounds[first]);
            if (size == 1) {
                end = first_length;
            } else {
                end = item.edge_start + 1;
                for (;; ++end) {
                    const unsigned key = KeyAt(table, first, end);
                    if (key == 0) break;
                    bool agree = true;
                    for (std::uint32_t i = 1; i < size && agree; ++i) {
                        agree = KeyAt(table, range[i], end) == key;
                    }
                    if (!agree) break;
                }
            }
        }

        Node& node = nodes_[item.node];
        node.end = end;
        const bool exact =
            table.bounds[first + 1] - table.bounds[first] == end && IsFolded(table.Entry(first));
        node.first = first | (exact ? kExactFlag : 0u);
        if (size == 1 && item.node != 0) continue;

        // Stable partition by the key at `end`: entries ending here first, then by byte.
        std::uint32_t bucket_begin[258] = {};
        if (size <= kSmallRange) {
            keys.resize(size);
            for (std::uint32_t i = 0; i < size; ++i) keys[i] = KeyAt(table, range[i], end);
            for (std::uint32_t i = 1; i < size; ++i) {
                const unsigned key = keys[i];
                const std::uint32_t entry = range[i];
                std::uint32_t j = i;
                for (; j > 0 && keys[j - 1] > key; --j) {
                    keys[j] = keys[j - 1];
                    range[j] = range[j - 1];
                }
                keys[j] = key;
                range[j] = entry;
            }
            for (std::uint32_t i = 0; i < size; ++i) ++bucket_begin[keys[i] + 1];
        } else {
            for (std::uint32_t i = 0; i < size; ++i)
                ++bucket_begin[KeyAt(table, range[i], end) + 1];
        }
        for (unsigned k = 1; k < 258; ++k) bucket_begin[k] += bucket_begin[k - 1];
        if (size > kSmallRange) {
            std::uint32_t next[257];
            std::copy(bucket_begin, bucket_begin + 257, next);
            for (std::uint32_t i = 0; i < size; ++i) {
                scratch[next[KeyAt(table, range[i], end)]++] = range[i];
            }
            std::copy_n(scratch.begin(), size, range);
        }

        const auto first_child = static_cast<std::uint32_t>(nodes_.size());
        std::uint32_t small_letters = 0;
        unsigned char child_count = 0;
        for (unsigned key = 1; key < 257; ++key) {
            if (bucket_begin[key + 1] == bucket_begin[key]) continue;
            const auto byte = static_cast<unsigned char>(key - 1);
            Node child;
            child.first_byte = byte;
            nodes_.push_back(child);
            if (byte >= 224) small_letters |= 1u << (byte - 224u);
            ++child_count;
        }
        // nodes_ may have grown past a reservation only if the bound above were wrong.
        Node& parent = nodes_[item.node];
        parent.first_child = first_child;
        parent.child_count = child_count;
        parent.small_letters = small_letters;
        std::uint32_t child = first_child + child_count;
        for (unsigned key = 256; key >= 1; --key) {
            if (bucket_begin[key + 1] == bucket_begin[key]) continue;
            pending.push_back(PendingNode{--child, item.begin + bucket_begin[key],
                                          item.begin + bucket_begin[key + 1], end});
        }
    }
}

PrefixIndex::Cursor PrefixIndex::Step(const EntryTable& table, Cursor cursor,
                                      unsigned char folded) const {
    if (folded >= 224) return StepSmallLetter(table, cursor, folded);
    const Node& node = nodes_[cursor.node];
    if (cursor.depth < node.end) {
        if (EdgeByte(table, node, cursor.depth) != folded) return Cursor{};
        return Cursor{cursor.node, cursor.depth + 1};
    }
    const auto other_count =
        node.child_count - static_cast<std::uint32_t>(std::popcount(node.small_letters));
    for (std::uint32_t i = 0; i < other_count; ++i) {
        const std::uint32_t child = node.first_child + i;
        if (nodes_[child].first_byte == folded) return Cursor{child, cursor.depth + 1};
        if (nodes_[child].first_byte > folded) break;
    }
    return Cursor{};
}

std::uint32_t PrefixIndex::SmallLetters(const EntryTable& table, Cursor cursor) const {
    const Node& node = nodes_[cursor.node];
    if (cursor.depth == node.end) return node.small_letters;
    // Inside an edge only the edge's next byte goes on.
    const unsigned char next = EdgeByte(table, node, cursor.depth);
    return next >= 224 ? 1u << (next - 224u) : 0;
}

PrefixIndex::Cursor PrefixIndex::Seek(const EntryTable& table, std::string_view probe) const {
    Cursor cursor = Root();
    for (const char c : probe) {
        cursor = Step(table, cursor, FoldCase(c));
        if (!cursor.Valid()) break;
    }
    return cursor;
}

std::int32_t PrefixIndex::FirstEntry(Cursor cursor) const {
    if (!cursor.Valid()) return -1;
    const std::uint32_t first = nodes_[cursor.node].first & ~kExactFlag;
    return first == kNoEntry ? -1 : static_cast<std::int32_t>(first);
}

bool PrefixIndex::FirstEntryIsExact(Cursor cursor) const {
    if (!cursor.Valid()) return false;
    const Node& node = nodes_[cursor.node];
    return cursor.depth == node.end && (node.first & kExactFlag) != 0;
}

}  // namespace bukvotok
