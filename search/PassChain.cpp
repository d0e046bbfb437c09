#include "PassChain.h"

namespace bukvotok {

void PassChain::Begin(const unsigned char* places) {
    // A plain loop, which the compiler turns into vector code.
    for (std::size_t i = 0; i < kStarts; ++i) {
        codes_[i] = PassTable::View::Code(places + i);
    }
    known_ = 0;
}

PassChain::Stretch PassChain::Follow(const PassTable::View& table, const unsigned char* places,
                                     std::size_t at, std::size_t limit) {
    const PassTable::View lookup = table;  // in registers: the stores below may alias it
    const std::uint16_t* const codes = codes_.data();
    unsigned char* const lengths = lengths_.data();
    std::size_t ahead = known_ > at ? known_ : at;
    std::size_t end = at;
    std::uint64_t passes = 0;
    // A few lengths ahead first, then three a step.
    for (; ahead < end + 8 && ahead < kStarts; ++ahead) {
        lengths[ahead] = lookup.LengthOf(codes[ahead], places[ahead + 3]);
    }
    while (ahead + 3 <= kStarts) {
        lengths[ahead] = lookup.LengthOf(codes[ahead], places[ahead + 3]);
        lengths[ahead + 1] = lookup.LengthOf(codes[ahead + 1], places[ahead + 4]);
        lengths[ahead + 2] = lookup.LengthOf(codes[ahead + 2], places[ahead + 5]);
        ahead += 3;
        if (end + 4 < ahead) {
            const unsigned char length = lengths[end];
            if (!PassTable::IsPlain(length) || end >= limit) {
                known_ = ahead;
                return Stretch{end, passes, end < limit};
            }
            end += length;
            ++passes;
        }
    }
    for (; ahead < kStarts; ++ahead) {
        lengths[ahead] = lookup.LengthOf(codes[ahead], places[ahead + 3]);
    }
    known_ = kStarts;
    while (end < limit) {
        const unsigned char length = lengths[end];
        if (!PassTable::IsPlain(length)) return Stretch{end, passes, true};
        end += length;
        ++passes;
    }
    return Stretch{end, passes, false};
}

}  // namespace bukvotok
