#include "NaiveTrie.h"

#include "FoldCase.h"
#include "LetterGenerator.h"

namespace bukvotok {

NaiveTrie::NaiveTrie(const EntryTable& table) : children_(kWidth, 0), exact_(1, 0) {
    // Entries in file order: the entry that first reaches a node is the first to begin with
    // its string.  Only the part of an entry spelled with drawable letters can be walked.
    for (std::size_t i = 0; i < table.Count(); ++i) {
        const std::string_view entry = table.Entry(i);
        std::uint32_t node = 0;
        std::size_t depth = 0;
        for (; depth < entry.size(); ++depth) {
            const unsigned letter = FoldCase(entry[depth]);
            if (letter < FirstLetterCode || letter >= FirstLetterCode + LetterCount) break;
            const std::size_t slot = std::size_t{node} * kWidth + letter - FirstLetterCode;
            if (children_[slot] == 0) {
                children_[slot] = static_cast<std::uint32_t>(exact_.size());
                children_.resize(children_.size() + kWidth, 0);
                // Exact when the whole entry is this node's string, in small letters.
                const bool exact = depth + 1 == entry.size() && IsFolded(entry);
                exact_.push_back(exact ? 1 : 0);
            }
            node = children_[slot];
        }
    }
    children_.shrink_to_fit();
    exact_.shrink_to_fit();
}

NaiveTrie::Walks NaiveTrie::Walk(std::uint64_t passes) const {
    Walks walks;
    const std::uint32_t* const children = children_.data();
    for (std::uint64_t pass = 0; pass < passes; ++pass) {
        std::uint32_t node = 0;
        for (;;) {
            const auto letter = static_cast<unsigned>(RandomLetter() - FirstLetterCode);
            ++walks.letters;
            const std::uint32_t child = children[std::size_t{node} * kWidth + letter];
            if (child == 0) break;
            node = child;
        }
        walks.matches += exact_[node];
    }
    return walks;
}

}  // namespace bukvotok
