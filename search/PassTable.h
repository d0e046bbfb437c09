// How a pass of the search goes on its first four letters, for every four letters it can draw.
//
// A pass ends at the first letter that continues nothing; on a list of Russian word forms 98 %
// of passes end within four letters, and all but one in seventy of those record nothing.  The
// table gives, from a pass's first four letters, its length (1-4), with kRecords when the pass
// records its word; or kGoesOn alone when its fourth letter continues too, and the rest of the
// pass is walked in the index.  Where a pass ends depends only on the letters from where it
// starts, so the lengths can be looked up for every position of a batch of letters drawn ahead,
// each lookup independent of the others, and the passes then chained through them.
//
// The first three letters pick a block of 32 lengths, one for each fourth letter: a block of
// its own for each three-letter string that begins some entry, and a few shared blocks of one
// length for the strings where the pass has ended before its fourth letter.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "LetterTable.h"

namespace bukvotok {

class PassTable {
    // For a block of its own: the letter table's number of the first four-letter string
    // that begins with the block's three letters, and which fourth letters continue them.
    struct FourthLetters {
        std::uint32_t first = 0;
        std::uint32_t letters = 0;
    };

public:
    static constexpr unsigned char kRecords = 0x80;  // with a length
    static constexpr unsigned char kGoesOn = 0x80;   // alone
    // Passes that are not plain: they record a word or go on.
    static constexpr bool IsPlain(unsigned char length) { return length < kRecords; }
    static constexpr unsigned kLengthBits = 7;  // length & kLengthBits

    // A table of no entries: every pass ends on its first letter.
    PassTable();

    // Raises bad_alloc.
    void Build(const LetterTable::View& letters);

    // The table as the search reads it, valid until the next Build.
    class View {
    public:
        // The code of the first three of the letters at `places`, by their places in the
        // alphabet (0-30 for а-ю).
        static constexpr std::uint16_t Code(const unsigned char* places) {
            return static_cast<std::uint16_t>(places[0] << 10 | places[1] << 5 | places[2]);
        }

        // The length of the pass whose first three letters have `code` and whose fourth has
        // the place `fourth`.
        unsigned char LengthOf(std::uint16_t code, unsigned char fourth) const {
            return lengths_[std::size_t{blocks_[code]} * 32 + fourth];
        }

        // The letter table's number of the four letters, for a pass that goes on past them:
        // from the block just read for the length, rather than from the letter table's own
        // tables, which a pass that goes on seldom finds in the cache.
        // REQUIRES: LengthOf(code, fourth) == kGoesOn.
        std::uint32_t Four(std::uint16_t code, unsigned char fourth) const {
            const FourthLetters& fourths = fourths_[blocks_[code]];
            return fourths.first + static_cast<std::uint32_t>(
                                       std::popcount(fourths.letters & ((1u << fourth) - 1u)));
        }

    private:
        friend class PassTable;
        explicit View(const PassTable& table)
            : blocks_(table.blocks_.get()),
              lengths_(table.lengths_.data()),
              fourths_(table.fourths_.data()) {}
        const std::uint16_t* blocks_;
        const unsigned char* lengths_;
        const FourthLetters* fourths_;
    };

    View Read() const { return View(*this); }

    std::size_t MemoryBytes() const {
        return kCodes * sizeof(std::uint16_t) + lengths_.capacity() +
               fourths_.capacity() * sizeof(FourthLetters);
    }

private:
    static constexpr std::size_t kCodes = std::size_t{1} << 15;  // three letters of five bits

    std::unique_ptr<std::uint16_t[]> blocks_;  // by the first three letters
    std::vector<unsigned char> lengths_;       // blocks of 32, by the fourth letter
    std::vector<FourthLetters> fourths_;       // by block
};

}  // namespace bukvotok
