// Dictionary files and save targets a user may hand the program by mistake or on purpose: each
// has one outcome, and none crashes, hangs or loses what the user had.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>
#include <string>

#include "Cp1251.h"
#include "DictionaryFile.h"
#include "DictionaryList.h"
#include "Errors.h"
#include "FakeSearchHost.h"
#include "LetterGenerator.h"
#include "MatchSearch.h"
#include "ResultsFile.h"
#include "SystemFile.h"
#include "SystemReasons.h"
#include "TestFiles.h"
#include "TestPipes.h"
#include "Utf8WordList.h"

namespace bukvotok {
namespace {

std::string Cp(const std::string& utf8) { return Utf8ToCp1251(utf8); }

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

std::vector<std::string> LoadedEntries(const NativePath& path) {
    DictionaryList dictionary;
    dictionary.LoadDictionaryText("previous");
    dictionary.LoadDictionary(path);
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < dictionary.Count(); ++i)
        entries.emplace_back(dictionary.EntryAt(i));
    return entries;
}

TEST(BadDictionary, OddFilesLoadAsTheLineRulesSay) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> entries;
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"only NUL bytes", std::string(1000, '\0'), {}},
        {"NUL in the middle", std::string("one\r\ntw\0o\r\nthree", 16), {"one", "tw"}},
        {"CR only", "a\rb\rc", {"a", "b", "c"}},
        {"LF CR", "a\n\rb\n\r", {"a", "", "b", ""}},
        // A UTF-8 list is taken in Windows-1251: «Кот», «ёж» and «ум».
        {"UTF-8",
         "\xD0\x9A\xD0\xBE\xD1\x82\r\n\xD1\x91\xD0\xB6\n\xD1\x83\xD0\xBC",
         {"\xCA\xEE\xF2", "\xB8\xE6", "\xF3\xEC"}},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF\xD1\x83\xD0\xBC\r\n", {"\xF3\xEC"}},
        // 漢 and an emoji are not in the code page; each is one '?' and the entries stay in place.
        {"UTF-8 beyond the code page",
         "\xE6\xBC\xA2\r\n\xF0\x9F\x98\x80\xD1\x83\r\nok",
         {"?", "?\xF3", "ok"}},
        {"UTF-8 up to a NUL", std::string("\xD1\x83\xD0\xBC\0\xF3\xEC", 7), {"\xF3\xEC"}},
        // Windows-1251 that holds UTF-8 shapes («Рё» reads as и) but is not UTF-8 as a whole.
        {"Windows-1251", "\xD0\xB8\r\n\xEA\xEE\xF2", {"\xD0\xB8", "\xEA\xEE\xF2"}},
        {"surrogate, not UTF-8", "\xED\xA0\x80\r\n\xD1\x83", {"\xED\xA0\x80", "\xD1\x83"}},
        // Eight well-formed letters carry one ill-formed byte, which becomes '?'; seven do not.
        {"UTF-8 with a stray byte", "котик\r\n\xFF\r\nкит", {Cp("котик"), "?", Cp("кит")}},
        {"one stray byte too many", "котик\r\n\xFF\r\nки", {"котик", "\xFF", "ки"}},
        {"UTF-8 with a Latin-1 line", "котик\r\ncaf\xE9\r\nкит", {Cp("котик"), "caf?", Cp("кит")}},
        // Overlong and surrogate forms are ill-formed from the byte that shows it, a sequence cut
        // short is one: ten ill-formed bytes, eighty letters.
        {"overlong, surrogate and cut-short forms in UTF-8",
         Repeat("кот", 27) + "\r\n\xC0\xAF\r\n\xE0\x80\xAF\r\n\xED\xA0\x80\r\n\xE6\xBC\r\n",
         {Cp(Repeat("кот", 27)), "??", "???", "???", "?"}},
        // The part of a list of 1.4 million Russian forms that comes nearest to UTF-8: capitals
        // before ё are well-formed, the small letters after them are not.
        {"Windows-1251 names with \xD1\x91",
         Cp("Лёшу\r\nЛёши\r\nЛёшей\r\nЛёшею\r\nЛёше\r\nЛёш\r\nЛёшами\r\nЛёшам\r\nЛёва"),
         {Cp("Лёшу"), Cp("Лёши"), Cp("Лёшей"), Cp("Лёшею"), Cp("Лёше"), Cp("Лёш"), Cp("Лёшами"),
          Cp("Лёшам"), Cp("Лёва")}},
        // UTF-16 with its byte-order mark: only the first line is read, up to the NUL after it.
        {"UTF-16",
         std::string("\xFF\xFE\x3A\x04\x3E\x04\x42\x04\r\0\n\0\x43\x04", 14),
         {"\xFF\xFE\x3A\x04\x3E\x04\x42\x04"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadedEntries(dir.Write("dictionary.txt", c.bytes)), c.entries) << c.name;
    }
}

TEST(BadDictionary, AWindows1251ListIsNeverTakenForUtf8) {
    std::ifstream file(BUKVOTOK_SAMPLE_DICTIONARY, std::ios::binary);
    std::ostringstream sample;
    sample << file.rdbuf();
    ASSERT_GT(sample.str().size(), 1000u);
    EXPECT_FALSE(IsUtf8WordList(sample.str()));
    EXPECT_TRUE(IsUtf8WordList(Cp1251ToUtf8(sample.str())));
}

TEST(BadDictionary, OneLineOfAHundredMegabytes) {
    TempDir dir;
    std::string line(100'000'000, '\xEE');
    const NativePath path = dir.Write("long.txt", line + "\r\n");
    DictionaryList dictionary;
    dictionary.LoadDictionary(path);
    ASSERT_EQ(dictionary.Count(), 1);
    EXPECT_EQ(dictionary.EntryAt(0).size(), line.size());
    EXPECT_EQ(dictionary.FindPrefix(line), 0);
    // A search walks only as far as its letters agree with the line: о, then one more.
    SetRandomState(0);
    FakeSearchHost host(1000);
    RunSearch(host, dictionary);
    EXPECT_EQ(host.results, "");
}

TEST(BadDictionary, RandomBinaryLoadsAndSearches) {
    std::mt19937 random(42);
    for (int round = 0; round < 20; ++round) {
        std::string bytes(1 + random() % 5000, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 7 == 0 ? '\n' : random());
        if (round % 2) bytes[0] = '\x01';  // half of them without a NUL at the very start
        DictionaryList dictionary;
        dictionary.LoadDictionaryText(bytes);
        SetRandomState(static_cast<std::uint32_t>(round));
        FakeSearchHost host(2000);
        RunSearch(host, dictionary);
        EXPECT_EQ(host.passes, 2000u);
    }
}

TEST(BadDictionary, WhatAShrunkFileNoLongerHoldsIsAbsent) {
    // A pipe stands in for a file that delivers fewer bytes than its size promised.
    const NativeFile pipe = PipeHolding("kot\r\nki");
    ASSERT_NE(pipe, kNoPipe);
    EXPECT_EQ(ReadUpTo(pipe, 1000), "kot\r\nki");
    ClosePipeEnd(pipe);
}

TEST(BadDictionary, ReadingEndsAtTheFirstNul) {
    // A writer that goes on: the text is complete at the NUL, with no wait for more.
    NativeFile writer = kNoPipe;
    const NativeFile reader = PipeHolding(std::string("kot\0more", 8), &writer);
    auto reading = std::async(std::launch::async, [reader] { return ReadToEnd(reader); });
    const bool ended = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    ClosePipeEnd(writer);
    EXPECT_TRUE(ended);
    EXPECT_EQ(reading.get(), std::string("kot\0", 4));
    ClosePipeEnd(reader);

    // Ten megabytes of zeros after a word cost no more than the word.
    TempDir dir;
    const std::string text =
        ReadDictionaryFile(dir.Write("zeros.txt", "kot" + std::string(10'000'000, '\0')));
    EXPECT_EQ(text, std::string("kot\0", 4));
    EXPECT_LT(text.capacity(), 1000u);
}

TEST(BadDictionary, AListPastTheSizeLimitIsRefusedAndTheListKept) {
    struct LimitForThisTest {
        LimitForThisTest() { SetDictionarySizeLimit(8); }
        ~LimitForThisTest() { SetDictionarySizeLimit(0); }
    } limit;
    const std::string refusal =
        "Dictionary too large: more than 8 bytes, the most that can be loaded on this computer";
    TempDir dir;
    DictionaryList dictionary;
    dictionary.LoadDictionary(dir.Write("at.txt", "kot\r\nkit"));
    try {
        dictionary.LoadDictionary(dir.Write("over.txt", "kot\r\nkit\n"));
        FAIL() << "loaded a file past the limit";
    } catch (const DictionaryTooLargeError& error) {
        EXPECT_EQ(error.what(), refusal);
    }
    EXPECT_EQ(dictionary.Count(), 2);

    // A stream is refused once more has come than the limit, whatever may follow.
    const NativeFile over = PipeHolding("kot\r\nkit\n");
    EXPECT_THROW(ReadToEnd(over), DictionaryTooLargeError);
    ClosePipeEnd(over);
    const NativeFile at = PipeHolding(std::string("kot\r\nkit\0more", 13));
    EXPECT_EQ(ReadToEnd(at), std::string("kot\r\nkit\0", 9));
    ClosePipeEnd(at);
    EXPECT_EQ(std::string(DictionaryTooLargeError(2'944'123'456).what()),
              "Dictionary too large: more than 2944 MB, the most that can be loaded on this "
              "computer");

    // The limit is on the text before the NUL, however large the file: 4 GiB, all but "кот"
    // of it a hole, loads by path as it does as standard input.
    const NativePath sparse = dir.Write("sparse.txt", Cp("кот"));
    std::filesystem::resize_file(sparse, std::uint64_t{4} << 30);
    dictionary.LoadDictionary(sparse);
    EXPECT_EQ(dictionary.Count(), 1);
    EXPECT_EQ(dictionary.EntryAt(0), Cp("кот"));
    const InputFile standard_input = OpenForReading(sparse, false);
    EXPECT_EQ(ReadToEnd(standard_input.Get()), Cp("кот") + '\0');
}

// A file no larger than the limit is read in a first 64 KiB and then whole; a stream, or a
// larger file, into a buffer of 64 KiB that doubles, capped one byte past the limit.  So the
// limits here are where those steps meet the limit, each with texts one byte under it, at it
// and over it, and ended by a NUL at it and past it, by path and through a pipe.
TEST(BadDictionary, TextsAtTheEdgesOfTheSizeLimit) {
    struct LimitForThisTest {
        ~LimitForThisTest() { SetDictionarySizeLimit(0); }
    } restore;
    constexpr std::size_t kStep = std::size_t{1} << 16;
    const std::string words = Repeat(Cp("кот\r\nум\r\n"), 30'000);
    ASSERT_GT(words.size(), 2 * kStep + 2);
    const std::string refused = "refused";
    TempDir dir;
    for (const std::size_t limit :
         {kStep - 1, kStep, kStep + 1, 2 * kStep - 1, 2 * kStep, 2 * kStep + 1}) {
        SetDictionarySizeLimit(limit);
        const std::string at = words.substr(0, limit);
        const std::string over = words.substr(0, limit + 1);
        const std::vector<std::pair<std::string, std::string>> cases = {
            {words.substr(0, limit - 1), words.substr(0, limit - 1)},
            {at, at},
            {over, refused},
            {at + '\0' + words, at + '\0'},
            {over + '\0', refused},
        };
        for (const auto& [bytes, expected] : cases) {
            const std::string what =
                std::to_string(bytes.size()) + " bytes, limit " + std::to_string(limit);
            const auto outcome = [&](const auto& read) {
                try {
                    return read();
                } catch (const DictionaryTooLargeError&) {
                    return refused;
                }
            };
            const NativePath path = dir.Write("list.txt", bytes);
            EXPECT_TRUE(outcome([&] { return ReadDictionaryFile(path); }) == expected)
                << "by path: " << what;
            const NativeFile pipe = PipeHolding(bytes);
            ASSERT_NE(pipe, kNoPipe);
            EXPECT_TRUE(outcome([&] { return ReadToEnd(pipe); }) == expected)
                << "through a pipe: " << what;
            ClosePipeEnd(pipe);
        }
    }
}

TEST(BadDictionary, PathsAreTakenLiterally) {
    // Shell and format syntax in a name is only a name: nothing runs, nothing is formatted.
    TempDir dir;
    const NativePath marker = dir.Path("ran");
#ifdef _WIN32
    const NativePath path = dir.Path("%s%n%x %PATH% !PATH! $(ran)");
#else
    const NativePath path = dir.Path("%s%n%x $(touch " + marker + ") `touch " + marker + "`");
#endif
    DictionaryList dictionary;
    try {
        dictionary.LoadDictionary(path);
        FAIL();
    } catch (const FileOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + MessagePath(path) + "\". " + kNoSuchFile);
    }
    EXPECT_THROW(SaveResultsFile((std::filesystem::path(path) / "x").native(), "w"),
                 FileCreateError);
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(BadSaveTarget, AHundredMegabytesOfResultsSaveByteForByte) {
    TempDir dir;
    std::string words;
    std::mt19937 random(1);
    while (words.size() < 1'000'000) {
        words += ' ';
        for (int n = 1 + static_cast<int>(random() % 9); n > 0; --n) {
            words += static_cast<char>(FirstLetterCode + static_cast<int>(random() % 31));
        }
    }
    std::string results;
    results.reserve(100 * words.size());
    for (int i = 0; i < 100; ++i) results += words;
    const NativePath path = dir.Path("results.txt");
    SaveResultsFile(path, results);
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::ostringstream saved;
    saved << file.rdbuf();
    EXPECT_TRUE(saved.str() == results);
}

}  // namespace
}  // namespace bukvotok
