// Words the search found and holds for its host, to be handed over together when the host lets
// them wait (QuietCalls::append_bytes), each with the place in the letters after the pass that
// found it: a host that raises part way leaves the generator where that word's own call would
// have.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "LettersAhead.h"

namespace bukvotok {

class HeldWords {
public:
    // More is handed over at once, whatever the host allows: the words of a millisecond or so.
    static constexpr std::size_t kMaxBytes = 64 * 1024;

    bool Empty() const { return spaced_.empty(); }
    // Whether a word of `size` bytes still fits, with its space.
    bool Fits(std::size_t size) const { return spaced_.size() + 1 + size <= kMaxBytes; }

    // All or nothing: out of memory, the words held before stay as they were, to be handed over.
    void Add(std::string_view word, LettersAhead::Place after) {
        const std::size_t size = spaced_.size();
        try {
            spaced_ += ' ';
            spaced_ += word;
            ends_.push_back({spaced_.size(), after});
        } catch (...) {
            spaced_.resize(size);
            throw;
        }
    }

    // " w1 w2 ...", each word after one space.
    std::string_view Spaced() const { return spaced_; }

    // The state after the pass of the word that goes on from `taken` bytes in.
    // REQUIRES: taken < Spaced().size(), where a word begins.
    std::uint32_t StateAfterWordAt(std::size_t taken) const {
        for (const End& end : ends_) {
            if (end.offset > taken) return LettersAhead::StateAt(end.after);
        }
        return LettersAhead::StateAt(ends_.back().after);
    }

    void Clear() {
        spaced_.clear();
        ends_.clear();
    }

private:
    struct End {
        std::size_t offset;
        LettersAhead::Place after;
    };
    std::string spaced_;
    std::vector<End> ends_;
};

}  // namespace bukvotok
