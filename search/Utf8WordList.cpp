#include "Utf8WordList.h"

#include "Cp1251.h"

namespace bukvotok {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view BeforeNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

bool IsUtf8WordList(std::string_view text) {
    text = BeforeNul(text);
    bool beyond_ascii = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t code_point = 0;
        const std::size_t length = DecodeUtf8(text.substr(i), code_point);
        if (length == 0) return false;
        beyond_ascii = true;
        i += length;
    }
    return beyond_ascii;
}

void ConvertUtf8WordList(std::string& text) {
    if (!IsUtf8WordList(text)) return;
    const std::string_view utf8 = BeforeNul(text);
    std::size_t read = utf8.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    std::size_t written = 0;
    while (read < utf8.size()) {
        char32_t code_point = 0;
        read += DecodeUtf8(utf8.substr(read), code_point);
        text[written++] = UnicodeToCp1251(code_point);
    }
    text.resize(written);
    // The entries are kept in this very block, so the bytes freed would stay taken.
    text.shrink_to_fit();
}

}  // namespace bukvotok
