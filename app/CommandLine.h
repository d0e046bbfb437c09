// The headless command's arguments:
//   bukvotok-search [--passes N] [--matches M] [--utf8] [--stats] DICTIONARY
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bukvotok {

struct HeadlessOptions {
    std::uint64_t max_passes = 0;   // 0: no limit
    std::uint64_t max_matches = 0;  // 0: no limit
    bool utf8 = false;
    bool stats = false;
    std::string dictionary;
};

extern const char* const kHeadlessUsage;

// The options, or nothing with `error` saying what is wrong.
std::optional<HeadlessOptions> ParseCommandLine(const std::vector<std::string>& arguments,
                                                std::string& error);

}  // namespace bukvotok
