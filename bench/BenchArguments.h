// The numbers the benchmarks read from their command lines and environment: taken whole or not
// at all, so that a slip ("5s", "200MB", "1e9") ends the run with its usage instead of being
// measured as zero, a default or the digits before it.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

namespace bukvotok {

// Digits only, within 64 bits.
inline std::optional<std::uint64_t> WholeNumber(std::string_view text) {
    std::uint64_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// A plain decimal number of seconds above zero, such as 5 or 0.5.
inline std::optional<double> PositiveSeconds(std::string_view text) {
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || stop != end || !(value > 0)) return std::nullopt;
    return value;
}

}  // namespace bukvotok
