// The byte-level text rules: the code page table, case folding, fixed texts.
#include <gtest/gtest.h>
#ifdef _WIN32
#include "windows/WideText.h"
#else
#include <iconv.h>
#endif

#include <string>

#include "Cp1251.h"
#include "FoldCase.h"
#include "StatusTexts.h"

namespace bukvotok {
namespace {

// The system's converter is an independent source for the code page: Windows' own, or glibc's.
#ifdef _WIN32
std::string SystemToUtf8(unsigned char byte) {
    return WideToUtf8(Cp1251ToWide(std::string(1, static_cast<char>(byte))));
}
#else
std::string SystemToUtf8(unsigned char byte) {
    iconv_t converter = iconv_open("UTF-8", "CP1251");
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* in_pointer = in;
    char* out_pointer = out;
    std::size_t in_left = 1;
    std::size_t out_left = sizeof out;
    const std::size_t done = iconv(converter, &in_pointer, &in_left, &out_pointer, &out_left);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1)) return {};
    return std::string(out, sizeof out - out_left);
}
#endif

TEST(Cp1251, EveryByteDecodesAsTheSystemConverterDoesAndEncodesBack) {
    for (unsigned b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string expected = SystemToUtf8(static_cast<unsigned char>(b));
        if (!expected.empty()) {
            EXPECT_EQ(Cp1251ToUtf8(byte), expected) << "byte " << b;
        }
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(byte)), byte) << "byte " << b;
    }
}

TEST(Cp1251, UnmappableAndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a\xE6\xBC\xA2"
                           "b"),
              "a?b");                                     // 漢
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?");     // an emoji
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");                 // cut short
    EXPECT_EQ(Utf8ToCp1251("\xE6\xBC\r\n"), "?\r\n");     // cut short: one sequence
    EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");            // overlong
    EXPECT_EQ(Utf8ToCp1251("\xE0\x80\xAF"), "???");       // overlong in three bytes
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");       // a surrogate
    EXPECT_EQ(Utf8ToCp1251("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(Utf8ToCp1251("\xE2\x82\xAC"), "\x88");      // € is in the code page
    // Unicode's own example of maximal subparts (its table 3-8), one '?' for each U+FFFD.
    EXPECT_EQ(Utf8ToCp1251("\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64"), "a???b?c??d");
}

TEST(Cp1251, FixedTextsAreEncodedAtCompileTime) {
    static_assert(kSearchingStatus.View().size() == 25);
    EXPECT_EQ(Cp1251ToUtf8(kStoppedStatus.View()), "Статус: Поиск совпадений остановлен!");
    constexpr Cp1251Text kYo{"ЁёАяz"};
    EXPECT_EQ(kYo.View(), "\xA8\xB8\xC0\xFFz");
}

// Lower case by Unicode's simple rules for the scripts the code page holds.
char16_t UnicodeLower(char16_t u) {
    if (u >= 'A' && u <= 'Z') return static_cast<char16_t>(u + 32);
    if (u >= 0x0410 && u <= 0x042F) return static_cast<char16_t>(u + 0x20);
    if (u >= 0x0400 && u <= 0x040F) return static_cast<char16_t>(u + 0x50);
    if (u == 0x0490) return 0x0491;
    return u;
}

TEST(FoldCase, FoldsExactlyTheCapitalsOfTheCodePage) {
    int capitals = 0;
    for (unsigned b = 0; b < 256; ++b) {
        const char16_t u = Cp1251ToUnicode(static_cast<unsigned char>(b));
        const char16_t folded = Cp1251ToUnicode(FoldCase(static_cast<unsigned char>(b)));
        EXPECT_EQ(folded, UnicodeLower(u)) << "byte " << b;
        if (FoldCase(static_cast<unsigned char>(b)) != b) ++capitals;
    }
    EXPECT_EQ(capitals, 26 + 32 + 15);
    for (int letter = 224; letter < 256; ++letter) {
        EXPECT_EQ(FoldCase(static_cast<unsigned char>(letter)), letter);
    }
}

}  // namespace
}  // namespace bukvotok
