#include "WindowTexts.h"

namespace bukvotok {

namespace {

constexpr std::uint64_t kMegabyte = 1024 * 1024;

std::u16string Digits(std::uint64_t value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

}  // namespace

std::u16string ReplaceDictionaryQuestion(std::u16string_view path) {
    std::u16string text = u"Файл «";
    text += path;
    text += u"» — загруженный словарь. Записать найденное вместо словаря?";
    return text;
}

std::u16string ProgressText(std::u16string_view doing, std::uint64_t written, std::uint64_t total) {
    std::u16string text(doing);
    text += u": " + Digits(written / kMegabyte) + u" из " +
            Digits(total / kMegabyte + (total % kMegabyte != 0 ? 1 : 0)) + u" МБ";
    return text;
}

}  // namespace bukvotok
