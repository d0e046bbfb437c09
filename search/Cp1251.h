// Windows-1251 is the program's one text encoding: dictionary entries, results, captions and
// status texts are all held as its single bytes.  Fixed texts are written in the source as
// UTF-8 literals and turned into those bytes at compile time, so that the source stays readable
// while nothing at run time depends on a locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bukvotok {

// The Unicode code point of each byte 0x80-0xFF.  0x98 has no character in the code page; it is
// taken as U+0098 so that every byte has exactly one image and decoding never fails.
extern const char16_t kCp1251HighHalf[128];

constexpr char16_t Cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    return kCp1251HighHalf[byte - 0x80];
}

// The byte for a code point, or '?' when the code page has none.
char UnicodeToCp1251(char32_t code_point);

std::string Cp1251ToUtf8(std::string_view cp1251);

// One step of decoding UTF-8: the character `text` begins with, or the ill-formed sequence it
// begins with, which is the longest start of `text` that could still begin a well-formed
// sequence, and at least one byte (Unicode's "maximal subpart", which WHATWG's decoder follows
// too).  Overlong forms, surrogates and values beyond U+10FFFF are ill-formed from the first
// byte that betrays them, so "\xE0\x80\xAF" is three ill-formed sequences and "\xE6\xBC" one.
// An ill-formed sequence never takes in an ASCII byte, and so never a line end.
struct Utf8Step {
    std::size_t length = 1;   // 1 to 4
    char32_t code_point = 0;  // when well-formed
    bool well_formed = false;
};

// REQUIRES: !text.empty()
Utf8Step DecodeUtf8(std::string_view text);

// Decodes UTF-8 leniently: each ill-formed sequence becomes one '?' like an unmappable
// character, and decoding goes on after it.
std::string Utf8ToCp1251(std::string_view utf8);

namespace detail {

// Enough of the code page for the program's own fixed texts: ASCII and the Russian alphabet.
consteval char EncodeFixedText(char32_t code_point) {
    if (code_point < 0x80) return static_cast<char>(code_point);
    if (code_point >= 0x0410 && code_point <= 0x044F) {
        return static_cast<char>(0xC0 + (code_point - 0x0410));
    }
    if (code_point == 0x0401) return static_cast<char>(0xA8);
    if (code_point == 0x0451) return static_cast<char>(0xB8);
    throw "a fixed text may hold only ASCII and Russian letters";
}

}  // namespace detail

// A fixed text, converted from a UTF-8 literal when the program is compiled:
//   inline constexpr Cp1251Text kTitle{"Буквоток"};
template <std::size_t N>
class Cp1251Text {
public:
    consteval Cp1251Text(const char (&utf8)[N]) {
        std::size_t i = 0;
        while (i + 1 < N) {
            const auto lead = static_cast<unsigned char>(utf8[i]);
            char32_t code_point = lead;
            std::size_t length = 1;
            if (lead >= 0xE0) {
                code_point = lead & 0x0Fu;
                length = 3;
            } else if (lead >= 0xC0) {
                code_point = lead & 0x1Fu;
                length = 2;
            }
            for (std::size_t k = 1; k < length; ++k) {
                code_point = (code_point << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
            }
            bytes_[size_++] = detail::EncodeFixedText(code_point);
            i += length;
        }
    }

    constexpr std::string_view View() const { return {bytes_, size_}; }
    std::string String() const { return std::string(View()); }

private:
    char bytes_[N] = {};
    std::size_t size_ = 0;
};

}  // namespace bukvotok
