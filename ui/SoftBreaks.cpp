#include "SoftBreaks.h"

#include <algorithm>

namespace bukvotok {

void SoftBreaks::Add(int position) {
    // Breaks are made in text order, so this is nearly always an append.
    if (positions_.empty() || positions_.back() < position) {
        positions_.push_back(position);
        return;
    }
    const auto at = std::lower_bound(positions_.begin(), positions_.end(), position);
    if (at == positions_.end() || *at != position) positions_.insert(at, position);
}

bool SoftBreaks::Contains(int position) const {
    return std::binary_search(positions_.begin(), positions_.end(), position);
}

std::span<const int> SoftBreaks::Within(int from, int to) const {
    const auto first = std::lower_bound(positions_.begin(), positions_.end(), from);
    const auto last = std::lower_bound(first, positions_.end(), to);
    return {first, last};
}

void SoftBreaks::Update(int position, int removed, int added) {
    const auto first = std::lower_bound(positions_.begin(), positions_.end(), position);
    const auto last = std::lower_bound(first, positions_.end(), position + removed);
    auto later = positions_.erase(first, last);
    const int shift = added - removed;
    if (shift == 0) return;
    for (; later != positions_.end(); ++later) *later += shift;
}

}  // namespace bukvotok
