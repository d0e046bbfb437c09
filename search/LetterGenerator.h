// The search's one source of letters: a linear congruential generator whose state is shared by
// the whole program, starts at 0 and is changed only by drawing.  Nothing seeds it, so the same
// dictionary and the same actions give the same words in the same order on every run.
//
//   state' = state * 134775813 + 1  (mod 2^32)
//   RandomBelow(range) = high 32 bits of the 64-bit product state' * range
//
// The high bits of the product spread the state evenly over the range without a division.
// Every draw anywhere, in any search, nested or not, advances the one state.
#pragma once

#include <cstdint>

namespace bukvotok {

// The small letter а of Windows-1251, and the number of letters drawn: а to ю.  я (255) and
// ё (184) are never drawn.
inline constexpr int FirstLetterCode = 224;
inline constexpr int LetterCount = 31;

namespace detail {
inline std::uint32_t random_state = 0;
}

// REQUIRES: range >= 1
inline std::uint32_t RandomBelow(std::uint32_t range) {
    detail::random_state = detail::random_state * 134775813u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{detail::random_state} * range) >> 32);
}

// A letter code in FirstLetterCode .. FirstLetterCode + LetterCount - 1.
inline int RandomLetter() { return FirstLetterCode + static_cast<int>(RandomBelow(LetterCount)); }

// The program never sets the state itself; tests and benchmarks use these to start over.
inline std::uint32_t RandomState() { return detail::random_state; }
inline void SetRandomState(std::uint32_t state) { detail::random_state = state; }

}  // namespace bukvotok
