// The ceiling the search is measured against: a plain trie over the 31 letters the generator
// draws, one array of 31 children per node, with the search's end-of-walk answer ("the first
// entry beginning with this string is this string, byte for byte") worked out for every node
// when it is built.  A step is one array read; the walk builds no text and calls no host.
// It spends memory freely (124 bytes of children per node) and so is not what the program uses.
#pragma once

#include <cstdint>
#include <vector>

#include "EntryTable.h"

namespace bukvotok {

class NaiveTrie {
public:
    explicit NaiveTrie(const EntryTable& table);

    struct Walks {
        std::uint64_t letters = 0;
        std::uint64_t matches = 0;
    };

    // `passes` passes of the search from the generator's current state, counting the letters
    // drawn and the words a search would record.
    Walks Walk(std::uint64_t passes) const;

    std::size_t MemoryBytes() const {
        return children_.capacity() * sizeof(std::uint32_t) + exact_.capacity();
    }

private:
    static constexpr unsigned kWidth = 31;

    // Children of node n at [n * kWidth, (n + 1) * kWidth); 0 means none (the root is nobody's
    // child).
    std::vector<std::uint32_t> children_;
    std::vector<std::uint8_t> exact_;
};

}  // namespace bukvotok
