#include "PassTable.h"

#include <algorithm>
#include <bit>

#include "LetterGenerator.h"

namespace bukvotok {

namespace {

// The shared blocks, each of one length whatever the fourth letter: the pass ends on its first,
// second, third or fourth letter, or records its word on its second, third or fourth.
constexpr unsigned char kShared[] = {1,
                                     2,
                                     3,
                                     4,
                                     PassTable::kRecords | 2,
                                     PassTable::kRecords | 3,
                                     PassTable::kRecords | 4,
                                     PassTable::kGoesOn};
constexpr std::size_t kSharedBlocks = sizeof kShared;
constexpr std::uint32_t kDrawnLetters = (std::uint32_t{1} << LetterCount) - 1;

constexpr std::uint16_t SharedBlock(unsigned char length) {
    for (std::uint16_t block = 0; block < kSharedBlocks; ++block) {
        if (kShared[block] == length) return block;
    }
    return kSharedBlocks;  // not reached
}

// The length of a pass that ends on its letter `at` (1-4): with kRecords when the first entry
// that begins with the letters before it is exactly them.
constexpr unsigned char EndsAt(unsigned at, const LetterTable::Facts& before) {
    return static_cast<unsigned char>(at | (at > 1 && before.IsExact() ? PassTable::kRecords : 0));
}

constexpr unsigned char Drawn(unsigned letter) {
    return static_cast<unsigned char>(FirstLetterCode + static_cast<int>(letter));
}

}  // namespace

PassTable::PassTable() : blocks_(std::make_unique<std::uint16_t[]>(kCodes)) {
    for (const unsigned char length : kShared) lengths_.insert(lengths_.end(), 32, length);
    fourths_.resize(kSharedBlocks);
    // No entries: every first letter ends its pass.
    std::fill_n(blocks_.get(), kCodes, SharedBlock(1));
}

void PassTable::Build(const LetterTable::View& letters) {
    // Built aside, so that a failure leaves the table as it was.
    std::vector<unsigned char> lengths(lengths_.begin(), lengths_.begin() + kSharedBlocks * 32);
    std::vector<FourthLetters> fourths(kSharedBlocks);
    auto blocks = std::make_unique_for_overwrite<std::uint16_t[]>(kCodes);
    // Codes with я, never drawn, are never read.
    std::fill_n(blocks.get(), kCodes, SharedBlock(1));
    const LetterTable::Facts root = letters.Of(LetterTable::kRoot);
    for (unsigned first = 0; first < LetterCount; ++first) {
        if (!root.Continues(Drawn(first))) continue;
        const LetterTable::Code one = LetterTable::View::After(LetterTable::kRoot, Drawn(first));
        const LetterTable::Facts facts_one = letters.Of(one);
        for (unsigned second = 0; second < LetterCount; ++second) {
            const unsigned prefix = first << 10 | second << 5;
            if (!facts_one.Continues(Drawn(second))) {
                std::fill_n(blocks.get() + prefix, 32, SharedBlock(EndsAt(2, facts_one)));
                continue;
            }
            const LetterTable::Code two = LetterTable::View::After(one, Drawn(second));
            const LetterTable::Facts facts_two = letters.Of(two);
            for (unsigned third = 0; third < LetterCount; ++third) {
                std::uint16_t& block = blocks[prefix | third];
                if (!facts_two.Continues(Drawn(third))) {
                    block = SharedBlock(EndsAt(3, facts_two));
                    continue;
                }
                const LetterTable::Code three = LetterTable::View::After(two, Drawn(third));
                const LetterTable::Facts facts_three = letters.Of(three);
                unsigned char own[32];
                for (unsigned fourth = 0; fourth < 32; ++fourth) {
                    const bool ends =
                        fourth == LetterCount || !facts_three.Continues(Drawn(fourth));
                    own[fourth] = ends ? EndsAt(4, facts_three) : kGoesOn;
                }
                block = SharedBlock(own[0]);
                if (block == kSharedBlocks ||
                    !std::all_of(own, own + 32, [&](unsigned char l) { return l == own[0]; })) {
                    block = static_cast<std::uint16_t>(lengths.size() / 32);
                    lengths.insert(lengths.end(), own, own + 32);
                    const std::uint32_t continuing = facts_three.bits & kDrawnLetters;
                    const auto lowest = static_cast<unsigned>(std::countr_zero(continuing));
                    fourths.push_back(FourthLetters{
                        continuing == 0 ? 0 : letters.Fourth(three, Drawn(lowest)), continuing});
                }
            }
        }
    }
    blocks_ = std::move(blocks);
    lengths_ = std::move(lengths);
    fourths_ = std::move(fourths);
}

}  // namespace bukvotok
