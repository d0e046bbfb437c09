#include "Utf8WordList.h"

#include "Cp1251.h"

namespace bukvotok {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view BeforeNul(std::string_view text) { return text.substr(0, text.find('\0')); }

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
        const Utf8Step step = DecodeUtf8(text.substr(i));
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
        const Utf8Step step = DecodeUtf8(utf8.substr(read));
        text[written++] = step.well_formed ? UnicodeToCp1251(step.code_point) : '?';
        read += step.length;
    }
    text.resize(written);
    // The entries are kept in this very block, so the bytes freed would stay taken.
    text.shrink_to_fit();
}

}  // namespace bukvotok
