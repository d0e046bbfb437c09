// Case folding for prefix lookups over Windows-1251 bytes.
//
// Capitals map to their small letters: A-Z, А-Я, Ё and the capitals of the other Cyrillic
// alphabets the code page holds (Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Є Ї І Ѕ).  Every other byte, small
// letters included, maps to itself, so a folded small letter is always a fixed point.  A table
// rather than tolower(): the C library's answer depends on the locale, and in a UTF-8 locale it
// leaves every byte above 0x7F alone.
#pragma once

#include <array>
#include <string_view>

namespace bukvotok {

namespace detail {

constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> table{};
    for (unsigned b = 0; b < 256; ++b) table[b] = static_cast<unsigned char>(b);
    for (unsigned b = 'A'; b <= 'Z'; ++b) table[b] = static_cast<unsigned char>(b + 32);
    for (unsigned b = 0xC0; b <= 0xDF; ++b) table[b] = static_cast<unsigned char>(b + 32);
    constexpr unsigned char kOtherPairs[][2] = {
        {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
        {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
        {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
    };
    for (const auto& pair : kOtherPairs) table[pair[0]] = pair[1];
    return table;
}

}  // namespace detail

inline constexpr std::array<unsigned char, 256> kFoldCase = detail::MakeFoldTable();

constexpr unsigned char FoldCase(unsigned char byte) { return kFoldCase[byte]; }

constexpr unsigned char FoldCase(char byte) { return kFoldCase[static_cast<unsigned char>(byte)]; }

// True when folding changes nothing, that is when the text holds no capital letter.
constexpr bool IsFolded(std::string_view text) {
    for (const char c : text) {
        if (FoldCase(c) != static_cast<unsigned char>(c)) return false;
    }
    return true;
}

}  // namespace bukvotok
