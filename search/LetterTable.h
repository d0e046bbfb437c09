// The search's first letters, answered from a table in front of the prefix index.
//
// A walk averages 2.6 letters on a list of Russian word forms, so all but a few in ten thousand
// of the search's steps start from a string of at most four letters.  In the index such a step
// reads a trie node and, inside an edge, a byte of an entry anywhere in the text; here it reads
// one word.  For every string of up to kDepth of the letters the search draws (а-ю, 224-254)
// that begins some entry, the table holds which drawn letters continue it and whether the first
// entry that begins with it is exactly the string; for a string of kDepth letters, also its
// cursor in the index, where a longer walk goes on.
//
// A string of up to three letters is named by its code: 1 followed by five bits per letter
// (letter - 224), so that the next code is a shift and an or, and the codes index a plain array
// of 2^16 words.  That array is never cleared: a build writes the words of the strings that
// begin some entry, and only those are read, since every code asked about is reached from the
// empty string through letters the table says continue.  The four-letter strings are numbered
// by the table instead, one after another in the order of their letters, so that they take room
// with the list and not with the million there could be: a string's number is the first number
// of its three letters' strings plus how many of the letters before its fourth continue them.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

#include "EntryTable.h"
#include "PrefixIndex.h"

namespace bukvotok {

class LetterTable {
public:
    using Code = std::uint32_t;
    static constexpr std::uint32_t kDepth = 4;
    static constexpr Code kRoot = 1;  // the empty string

    // What the table holds for one string.  Bit b: whether letter 224 + b continues it into the
    // beginning of some entry; the top bit (я's, never drawn): whether the first entry that
    // begins with it is exactly the string.
    struct Facts {
        std::uint32_t bits;

        // REQUIRES: a letter the search draws, 224-254.
        bool Continues(unsigned char drawn_letter) const {
            return (bits >> (drawn_letter - 224u)) & 1u;
        }
        bool IsExact() const { return (bits >> 31) != 0; }
        // How many of the drawn letters before `drawn_letter` continue the string.
        std::uint32_t CountBefore(unsigned char drawn_letter) const {
            return static_cast<std::uint32_t>(
                std::popcount(bits & ((1u << (drawn_letter - 224u)) - 1u)));
        }
    };

    // The table as the search's loop reads it, valid until the next Build.
    class View {
    public:
        // REQUIRES: some entry begins with the string of up to three letters `code` names.
        Facts Of(Code code) const { return Facts{facts_[code]}; }

        // The code of the string one letter longer, of up to three letters.
        static constexpr Code After(Code code, unsigned char drawn_letter) {
            return code << 5 | (drawn_letter - 224u);
        }

        // Whether some entry begins with the string of one to three letters `code` names.
        bool Has(Code code) const;

        // The number of the string of the three letters of `code` and one more.  REQUIRES:
        // Of(code).Continues(drawn_letter).
        std::uint32_t Fourth(Code code, unsigned char drawn_letter) const {
            return fourth_[code - kThreeLetters] + Of(code).CountBefore(drawn_letter);
        }
        Facts OfFour(std::uint32_t four) const { return Facts{four_facts_[four]}; }
        PrefixIndex::Cursor At(std::uint32_t four) const {
            return PrefixIndex::Cursor{four_nodes_[four], kDepth};
        }

    private:
        friend class LetterTable;
        explicit View(const LetterTable& table)
            : facts_(table.facts_.get()),
              fourth_(table.fourth_.get()),
              four_facts_(table.four_facts_.data()),
              four_nodes_(table.four_nodes_.data()) {}
        const std::uint32_t* facts_;
        const std::uint32_t* fourth_;
        const std::uint32_t* four_facts_;
        const std::uint32_t* four_nodes_;
    };

    // A table of no entries.
    LetterTable();

    // Raises bad_alloc.
    void Build(const PrefixIndex& index, const EntryTable& table);

    View Read() const { return View(*this); }

    std::size_t MemoryBytes() const {
        return (kFourLetters + kThreeLetters + four_facts_.capacity() + four_nodes_.capacity()) *
               sizeof(std::uint32_t);
    }

private:
    static constexpr Code kThreeLetters = Code{1} << 15;  // the first code of three letters
    static constexpr Code kFourLetters = Code{1} << 16;   // past every code

    void Fill(const PrefixIndex& index, const EntryTable& table, Code code, std::uint32_t length,
              PrefixIndex::Cursor cursor);

    std::unique_ptr<std::uint32_t[]> facts_;   // by code
    std::unique_ptr<std::uint32_t[]> fourth_;  // by three-letter code: its strings' first
    std::vector<std::uint32_t> four_facts_;    // by four-letter string's number
    std::vector<std::uint32_t> four_nodes_;
};

}  // namespace bukvotok
