#include "LinearDictionary.h"

#include "Errors.h"
#include "FoldCase.h"

namespace bukvotok {

std::int32_t LinearDictionary::FindPrefix(std::string_view probe) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::string& entry = entries_[i];
        if (entry.size() < probe.size()) continue;
        bool equal = true;
        for (std::size_t k = 0; k < probe.size() && equal; ++k) {
            equal = FoldCase(entry[k]) == FoldCase(probe[k]);
        }
        if (equal) return static_cast<std::int32_t>(i);
    }
    return -1;
}

std::string_view LinearDictionary::EntryAt(std::int64_t index) const {
    if (index < 0 || index >= static_cast<std::int64_t>(entries_.size())) {
        throw ListIndexError(index);
    }
    return entries_[static_cast<std::size_t>(index)];
}

}  // namespace bukvotok
