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

inline constexpr std::uint32_t kRandomMultiplier = 134775813u;  // 0x08088405

namespace detail {
inline std::uint32_t random_state = 0;
}

// REQUIRES: range >= 1
inline std::uint32_t RandomBelow(std::uint32_t range) {
    detail::random_state = detail::random_state * kRandomMultiplier + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{detail::random_state} * range) >> 32);
}

// The letter a state gives, RandomBelow(LetterCount) in 32-bit steps: state * 31 is
// (state << 5) - state, whose high word is state >> 27 less the borrow from the low word.
constexpr int LetterOfState(std::uint32_t state) {
    const std::uint32_t borrow = static_cast<std::uint32_t>(state << 5) < state ? 1u : 0u;
    return FirstLetterCode + static_cast<int>((state >> 27) - borrow);
}

// A letter code in FirstLetterCode .. FirstLetterCode + LetterCount - 1.
inline int RandomLetter() { return FirstLetterCode + static_cast<int>(RandomBelow(LetterCount)); }

// Many draws in one step: after `draws` draws the state is state * multiply + add, where
// multiply is the multiplier to the power `draws` and add is 1 + multiplier + ... +
// multiplier^(draws - 1), all modulo 2^32.  It lets letters far ahead be drawn without waiting
// for the ones before them.
struct RandomJump {
    std::uint32_t multiply = 1;
    std::uint32_t add = 0;

    constexpr std::uint32_t From(std::uint32_t state) const { return state * multiply + add; }

    // This jump, then `next`.
    constexpr RandomJump Then(RandomJump next) const {
        return RandomJump{multiply * next.multiply, add * next.multiply + next.add};
    }
};

constexpr RandomJump JumpOf(std::uint64_t draws) {
    RandomJump jump;
    RandomJump square{kRandomMultiplier, 1u};  // one draw, then two, four, ...
    for (; draws != 0; draws >>= 1, square = square.Then(square)) {
        if (draws & 1u) jump = jump.Then(square);
    }
    return jump;
}

// The program never sets the state itself; tests and benchmarks use these to start over.
inline std::uint32_t RandomState() { return detail::random_state; }
inline void SetRandomState(std::uint32_t state) { detail::random_state = state; }

}  // namespace bukvotok
