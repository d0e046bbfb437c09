// The search's chain of passes through a batch of letters drawn ahead.
//
// Each pass starts where the last ended, so following the chain is a load of a length, an add,
// and the next load waiting for it.  The lengths themselves are independent of each other (a
// pass's length depends only on the letters from where it starts), so they are looked up ahead
// of the chain in the same loop: three lookups, then one step of the chain, whose wait the
// lookups fill.  The chain takes about 2.6 letters a step, so the lookups stay ahead.  What is
// looked up is kept for the rest of the batch, as long as the list stays the same.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "LettersAhead.h"
#include "PassTable.h"

namespace bukvotok {

class PassChain {
public:
    // The positions of a batch at which a pass can be looked up: it needs four letters.
    static constexpr std::size_t kStarts = LettersAhead::kCount - 3;

    // Where Follow stopped: at `end`, after `passes` plain passes; before a pass the table
    // leaves to the walk if `walk`.
    struct Stretch {
        std::size_t end;
        std::uint64_t passes;
        bool walk;
    };

    // A new batch, whose letters' places are `places`: nothing is looked up yet.
    void Begin(const unsigned char* places);

    // The list changed: the lengths from `at` on are looked up again.
    void Forget(std::size_t at) {
        if (known_ > at) known_ = at;
    }

    // From `at`, where a pass of the search starts, takes the plain passes that start before
    // `limit`.  Stops before a pass to walk, or at the first pass that starts at `limit` or
    // later.  REQUIRES: limit <= kStarts; the places of the last Begin, with `table`.
    Stretch Follow(const PassTable::View& table, const unsigned char* places, std::size_t at,
                   std::size_t limit);

    // The length of the pass at `at`, as Follow left it.  REQUIRES: Follow stopped at `at`.
    unsigned char LengthAt(std::size_t at) const { return lengths_[at]; }

private:
    // The codes of each position's first three letters, and the lengths looked up so far.
    std::array<std::uint16_t, kStarts> codes_{};
    std::array<unsigned char, kStarts> lengths_{};
    std::size_t known_ = 0;  // lengths are looked up below this position
};

}  // namespace bukvotok
