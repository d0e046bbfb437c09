#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "LetterGenerator.h"
#include "LettersAhead.h"

namespace bukvotok {
namespace {

TEST(LetterGenerator, FirstDrawsFromStateZero) {
    SetRandomState(0);
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < 10; ++i) draws.push_back(RandomBelow(31));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{0, 0, 26, 6, 8, 20, 9, 5, 11, 13}));

    SetRandomState(0);
    std::string letters;
    for (int i = 0; i < 10; ++i) letters += static_cast<char>(RandomLetter());
    EXPECT_EQ(letters, "\xE0\xE0\xFA\xE6\xE8\xF4\xE9\xE5\xEB\xED");  // ааъжифйелн
}

TEST(LetterGenerator, StateAdvancesByTheFixedRecurrence) {
    SetRandomState(0);
    EXPECT_EQ(RandomBelow(1), 0u);  // still a draw
    EXPECT_EQ(RandomState(), 1u);
    RandomBelow(1);
    EXPECT_EQ(RandomState(), 134775814u);
    SetRandomState(0xFFFFFFFFu);
    EXPECT_EQ(RandomBelow(0xFFFFFFFFu),
              static_cast<std::uint32_t>(
                  (std::uint64_t{0xFFFFFFFFu * 134775813u + 1u} * 0xFFFFFFFFull) >> 32));
}

TEST(LetterGenerator, DrawsEveryLetterFromAToYuAndNeverYaOrYo) {
    SetRandomState(12345);
    std::vector<int> seen(256);
    for (int i = 0; i < 100000; ++i) ++seen[static_cast<std::size_t>(RandomLetter())];
    for (int code = 0; code < 256; ++code) {
        const bool drawable = code >= FirstLetterCode && code < FirstLetterCode + LetterCount;
        EXPECT_EQ(seen[static_cast<std::size_t>(code)] > 0, drawable) << code;
    }
}

// The batch drawn ahead, by either way of drawing it, holds the letters drawn one by one, and
// says at every position the state drawing them one by one leaves.
TEST(LetterGenerator, LettersDrawnAheadAreTheOnesDrawnOneByOne) {
    std::vector<void (*)(std::uint32_t, unsigned char*)> ways = {&DrawPlacesPlain};
#if defined(__SSE2__)
    ways.push_back(&DrawPlacesSse2);
#endif
    // 649090867: a lane of the batch it begins stands at state 0.
    for (const std::uint32_t start : {0u, 1u, 0xFFFFFFFFu, 0x9E3779B9u, 649090867u}) {
        SetRandomState(start);
        std::vector<unsigned char> places;
        std::vector<std::uint32_t> states{start};
        for (std::size_t i = 0; i < 2 * LettersAhead::kCount; ++i) {
            places.push_back(static_cast<unsigned char>(RandomLetter() - FirstLetterCode));
            states.push_back(RandomState());
        }
        for (const auto draw : ways) {
            std::vector<unsigned char> drawn(LettersAhead::kCount);
            draw(start, drawn.data());
            EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), places.begin())) << start;
        }
        LettersAhead ahead;
        ahead.DrawFrom(start);
        for (std::size_t i = 0; i < places.size(); ++i) {
            ASSERT_EQ(ahead.State(), states[i]) << start << " " << i;
            ASSERT_EQ(ahead.Next(), FirstLetterCode + places[i]) << start << " " << i;
        }
        EXPECT_EQ(ahead.State(), states.back());
        EXPECT_EQ(JumpOf(places.size()).From(start), states.back());
    }
}

}  // namespace
}  // namespace bukvotok
