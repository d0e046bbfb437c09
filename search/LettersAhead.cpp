#include "LettersAhead.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "LetterGenerator.h"

namespace bukvotok {

namespace {

// Sixteen lanes: letter i + 16 is a fixed jump from letter i.
constexpr std::size_t kLanes = 16;
static_assert(LettersAhead::kCount % kLanes == 0);
constexpr RandomJump kLaneStep = JumpOf(kLanes);

// The jump over the first n letters of a batch, for every n.
constexpr std::array<RandomJump, LettersAhead::kCount + 1> kJumps = [] {
    std::array<RandomJump, LettersAhead::kCount + 1> jumps{};
    for (std::size_t n = 1; n < jumps.size(); ++n) jumps[n] = jumps[n - 1].Then(JumpOf(1));
    return jumps;
}();

constexpr unsigned char PlaceOfState(std::uint32_t state) {
    return static_cast<unsigned char>(LetterOfState(state) - FirstLetterCode);
}

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
// Code with wider vectors than SSE's (the C library's copies, a toolkit's painting) may leave the
// upper halves of the vector registers in use.  Some processors then make every SSE instruction
// wait on them: in the window, where painting and copying run between batches, drawing a batch
// took twice as long and the whole search lost a tenth of its speed.  VZEROUPPER clears them; it
// exists only where AVX does, which the processor and the system are asked once.
[[gnu::target("avx")]] void ClearUpperHalvesAvx() { __builtin_ia32_vzeroupper(); }

const bool kHasAvx = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
}();

void ClearUpperHalves() {
    if (kHasAvx) ClearUpperHalvesAvx();
}
#else
void ClearUpperHalves() {}
#endif

}  // namespace

void LettersAhead::DrawFrom(std::uint32_t state) {
    start_ = state;
    at_ = 0;
    ++batch_;
#if defined(__SSE2__)
    ClearUpperHalves();
    DrawPlacesSse2(state, places_.data());
#else
    DrawPlacesPlain(state, places_.data());
#endif
}

std::uint32_t LettersAhead::StateAt(Place place) { return kJumps[place.at].From(place.start); }

void DrawPlacesPlain(std::uint32_t state, unsigned char* places) {
    std::uint32_t lanes[kLanes];
    for (std::size_t j = 0; j < kLanes; ++j) lanes[j] = kJumps[j + 1].From(state);
    for (std::size_t i = 0; i < LettersAhead::kCount; i += kLanes) {
        for (std::size_t j = 0; j < kLanes; ++j) {
            places[i + j] = PlaceOfState(lanes[j]);
            lanes[j] = kLaneStep.From(lanes[j]);
        }
    }
}

#if defined(__SSE2__)
// SSE2 multiplies 32-bit numbers only in pairs, into 64-bit products (pmuludq).  So each group
// of four lanes is held as two vectors of two 64-bit halves, the even lanes and the odd ones,
// each state in the low word of its half: a step is then a multiply and an add (the high words
// fill with what nobody reads), and a letter is the high word of the state times 31.
void DrawPlacesSse2(std::uint32_t state, unsigned char* places) {
    constexpr std::size_t kGroups = kLanes / 4;
    __m128i even[kGroups];
    __m128i odd[kGroups];
    for (std::size_t k = 0; k < kGroups; ++k) {
        const auto lane = [&](std::size_t j) {
            return static_cast<int>(kJumps[4 * k + j + 1].From(state));
        };
        even[k] = _mm_set_epi32(0, lane(2), 0, lane(0));
        odd[k] = _mm_set_epi32(0, lane(3), 0, lane(1));
    }
    const __m128i multiply = _mm_set1_epi32(static_cast<int>(kLaneStep.multiply));
    const __m128i add = _mm_set1_epi32(static_cast<int>(kLaneStep.add));
    const __m128i letter_count = _mm_set1_epi32(LetterCount);
    const __m128i high_words = _mm_set_epi32(-1, 0, -1, 0);
    for (std::size_t i = 0; i < LettersAhead::kCount; i += kLanes) {
        __m128i drawn[kGroups];
        for (std::size_t k = 0; k < kGroups; ++k) {
            // The even lanes' places move down into the low words; the odd lanes' are in place.
            const __m128i even_places = _mm_srli_epi64(_mm_mul_epu32(even[k], letter_count), 32);
            const __m128i odd_places =
                _mm_and_si128(_mm_mul_epu32(odd[k], letter_count), high_words);
            drawn[k] = _mm_or_si128(even_places, odd_places);
            even[k] = _mm_add_epi32(_mm_mul_epu32(even[k], multiply), add);
            odd[k] = _mm_add_epi32(_mm_mul_epu32(odd[k], multiply), add);
        }
        static_assert(kGroups == 4);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(drawn[0], drawn[1]),
                                               _mm_packs_epi32(drawn[2], drawn[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(places + i), bytes);
    }
}
#endif

}  // namespace bukvotok
