#include "Utf8WordList.h"

#include "Cp1251.h"

namespace bukvotok {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view BeforeNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// The two common cases decoded here, the rest by DecodeUtf8: a byte beyond ASCII without a
// continuation byte after it (every small letter of Windows-1251 Russian text) is ill-formed
// alone, and two-byte characters are the Cyrillic letters of UTF-8.
// REQUIRES: text[at] is beyond ASCII
inline Utf8Step NextStep(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const unsigned next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0u;
    if ((next & 0xC0u) != 0x80u) return {};
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {2, static_cast<char32_t>(((lead & 0x1Fu) << 6) | (next & 0x3Fu)), true};
    }
    return DecodeUtf8(text.substr(at));
}

inline char ToCp1251(char32_t code_point) {
    if (code_point >= 0x0410 && code_point <= 0x044F) {
        return static_cast<char>(0xC0 + (code_point - 0x0410));
    }
    return UnicodeToCp1251(code_point);
}

}  // namespace

bool IsUtf8WordList(std::string_view text) {
    text = BeforeNul(text);
    std::size_t well_formed = 0;
    std::size_t ill_formed_bytes = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const Utf8Step step = NextStep(text, i);
        i += step.length;
        if (step.well_formed) {
            ++well_formed;
            continue;
        }
        ill_formed_bytes += step.length;
        // A Windows-1251 list is told within its first few percent: even if every byte left
        // were half of a well-formed character, the factor could no longer be reached.
        const std::size_t most_to_come = (text.size() - i) / 2;
        if (well_formed + most_to_come < kWellFormedPerIllFormedByte * ill_formed_bytes) {
            return false;
        }
    }
    return well_formed > 0 && well_formed >= kWellFormedPerIllFormedByte * ill_formed_bytes;
}

void ConvertUtf8WordList(std::string& text) {
    if (!IsUtf8WordList(text)) return;
    const std::string_view utf8 = BeforeNul(text);
    std::size_t read = utf8.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    std::size_t written = 0;
    while (read < utf8.size()) {
        if (static_cast<unsigned char>(utf8[read]) < 0x80) {
            text[written++] = utf8[read++];
            continue;
        }
        const Utf8Step step = NextStep(utf8, read);
        text[written++] = step.well_formed ? ToCp1251(step.code_point) : '?';
        read += step.length;
    }
    text.resize(written);
    // The entries are kept in this very block, so the bytes freed would stay taken.
    text.shrink_to_fit();
}

}  // namespace bukvotok
