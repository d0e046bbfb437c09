// The plain model of the dictionary: a list of entries and a prefix lookup that scans it from
// the top, the way a list box looks for a string.  Slow on purpose; the indexed store is
// checked against it, and the benchmarks measure against it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bukvotok {

class LinearDictionary {
public:
    LinearDictionary() = default;
    explicit LinearDictionary(std::vector<std::string> entries) : entries_(std::move(entries)) {}

    std::int32_t FindPrefix(std::string_view probe) const;
    std::string_view EntryAt(std::int64_t index) const;

    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
};

}  // namespace bukvotok
