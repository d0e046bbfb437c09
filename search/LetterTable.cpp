#include "LetterTable.h"

#include <bit>

namespace bukvotok {

namespace {

constexpr std::uint32_t kDrawn = (1u << 31) - 1;  // а-ю

std::uint32_t FactsAt(const PrefixIndex& index, const EntryTable& table,
                      PrefixIndex::Cursor cursor) {
    return (index.SmallLetters(table, cursor) & kDrawn) |
           (index.FirstEntryIsExact(cursor) ? 1u << 31 : 0u);
}

}  // namespace

LetterTable::LetterTable()
    : facts_(std::make_unique_for_overwrite<std::uint32_t[]>(kFourLetters)),
      fourth_(std::make_unique_for_overwrite<std::uint32_t[]>(kThreeLetters)) {
    facts_[kRoot] = 0;
}

bool LetterTable::View::Has(Code code) const {
    // Down from the empty string, reading only words of strings that begin some entry.
    const auto length = static_cast<std::uint32_t>(std::bit_width(code) - 1) / 5;
    Code at = kRoot;
    for (std::uint32_t shift = 5 * length; shift > 0; shift -= 5) {
        const auto letter = static_cast<unsigned char>(224u + ((code >> (shift - 5)) & 31u));
        if (!Of(at).Continues(letter)) return false;
        at = After(at, letter);
    }
    return true;
}

void LetterTable::Build(const PrefixIndex& index, const EntryTable& table) {
    four_facts_.clear();
    four_nodes_.clear();
    Fill(index, table, kRoot, 0, index.Root());
}

void LetterTable::Fill(const PrefixIndex& index, const EntryTable& table, Code code,
                       std::uint32_t length, PrefixIndex::Cursor cursor) {
    const std::uint32_t facts = FactsAt(index, table, cursor);
    facts_[code] = facts;
    std::uint32_t letters = facts & kDrawn;
    if (length + 1 < kDepth) {
        for (; letters != 0; letters &= letters - 1) {
            const auto letter = static_cast<unsigned char>(224 + std::countr_zero(letters));
            Fill(index, table, View::After(code, letter), length + 1,
                 index.StepSmallLetter(table, cursor, letter));
        }
        return;
    }
    if (letters == 0) return;
    // The four-letter strings that begin with this one, in the order of their last letters.
    fourth_[code - kThreeLetters] = static_cast<std::uint32_t>(four_facts_.size());
    for (; letters != 0; letters &= letters - 1) {
        const auto letter = static_cast<unsigned char>(224 + std::countr_zero(letters));
        const PrefixIndex::Cursor four = index.StepSmallLetter(table, cursor, letter);
        four_facts_.push_back(FactsAt(index, table, four));
        four_nodes_.push_back(four.node);
    }
}

}  // namespace bukvotok
