#pragma once

#include <cstddef>
#include <string>

#include "LetterGenerator.h"

namespace bukvotok {

// The letters the generator draws from state 0, which it is left at: a dictionary entry spelled
// with them is walked to its very end by the first pass of a search.
inline std::string LettersDrawnFromStart(std::size_t count) {
    SetRandomState(0);
    std::string letters;
    letters.reserve(count);
    for (std::size_t i = 0; i < count; ++i) letters += static_cast<char>(RandomLetter());
    SetRandomState(0);
    return letters;
}

}  // namespace bukvotok
