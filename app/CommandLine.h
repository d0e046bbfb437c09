// The headless command's arguments:
//   bukvotok-search [--passes N] [--matches M] [--utf8] [--stats] [--] DICTIONARY
//   bukvotok-search --help | --version
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "NativePath.h"

namespace bukvotok {

struct HeadlessOptions {
    std::uint64_t max_passes = 0;   // 0: no limit
    std::uint64_t max_matches = 0;  // 0: no limit
    bool utf8 = false;
    bool stats = false;
    bool help = false;      // nothing else is looked at
    bool version = false;   // likewise
    NativePath dictionary;  // "-": standard input
};

extern const char* const kHeadlessUsage;

// "bukvotok-search 1.2.3", from the project's version.
extern const char* const kHeadlessVersion;

// The options, or nothing with `error` saying what is wrong (UTF-8 on Windows, where the
// arguments come as UTF-16).
std::optional<HeadlessOptions> ParseCommandLine(const std::vector<NativePath>& arguments,
                                                std::string& error);

// Whether the dictionary named is standard input.
bool IsStandardInput(const NativePath& dictionary);

}  // namespace bukvotok
