// The letters a search will draw, drawn ahead in a batch.
//
// Each letter takes one draw of the generator whatever the walk does with it, so the letters of
// the next passes are known before they are walked: the batch holds the next kCount letters
// from a state.  Wherever the search has read up to, the state the generator would be in is a
// jump from the batch's first (RandomJump), so the generator can be set exactly where drawing
// the letters one by one would have left it.  The draws run in independent lanes, each a fixed
// jump ahead of the one before, so that no draw waits for the last (one multiply and add after
// another is most of the cost of drawing one at a time).
//
// The batch does not touch the generator.  The search sets it from State() before anything
// outside the search may draw (a host's call, an error), and starts a new batch from it
// afterwards when something did draw.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace bukvotok {

class LettersAhead {
public:
    static constexpr std::size_t kCount = 1024;

    // The next kCount letters drawn from `state`; the read position at the first of them.
    void DrawFrom(std::uint32_t state);

    // The next letter (224-254), the batch after this one when it is used up.
    unsigned char Next() {
        if (at_ == kCount) DrawFrom(State());
        return static_cast<unsigned char>(224u + places_[at_++]);
    }

    // The generator's state once the letters before the read position have been drawn.
    std::uint32_t State() const { return StateAt(Place{start_, at_}); }

    // The read position, kept to find the state there later without working it out now.
    struct Place {
        std::uint32_t start;  // the state the batch was drawn from
        std::size_t at;
    };
    Place Here() const { return Place{start_, at_}; }
    static std::uint32_t StateAt(Place place);

    std::size_t At() const { return at_; }
    // REQUIRES: at <= kCount.
    void MoveTo(std::size_t at) { at_ = at; }

    // The batch's letters by their places in the alphabet, 0-30 for а-ю.
    const unsigned char* Places() const { return places_.data(); }

    // Counts the batches drawn, so that what was worked out from one can be told stale.
    std::uint64_t Batch() const { return batch_; }

private:
    std::array<unsigned char, kCount> places_{};
    std::uint32_t start_ = 0;
    std::size_t at_ = 0;
    std::uint64_t batch_ = 0;
};

// The two ways of drawing a batch's places from a state: DrawFrom uses the vector one where the
// compiler targets SSE2, the plain one elsewhere (32-bit x86 without SSE2, other processors).
// Both are here so that the tests check each against RandomLetter.
void DrawPlacesPlain(std::uint32_t state, unsigned char* places);
#if defined(__SSE2__)
void DrawPlacesSse2(std::uint32_t state, unsigned char* places);
#endif

}  // namespace bukvotok
