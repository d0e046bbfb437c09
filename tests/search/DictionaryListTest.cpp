// Loading dictionary files: the line rules, the errors, and what a failure leaves behind.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "DictionaryList.h"
#include "Errors.h"
#include "SystemErrorText.h"
#include "SystemReasons.h"
#include "TestFiles.h"

namespace bukvotok {
namespace {

std::vector<std::string> EntriesOf(const DictionaryList& dictionary) {
    std::vector<std::string> entries;
    for (std::int32_t i = 0; i < dictionary.Count(); ++i) {
        entries.emplace_back(dictionary.EntryAt(i));
    }
    return entries;
}

struct SplitCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> entries;
};

TEST(DictionaryList, SplitsLinesByTheFileRules) {
    const std::vector<SplitCase> cases = {
        {"crlf", "kot\r\nkit\r\num\r\n", {"kot", "kit", "um"}},
        {"no final line end", "kot\r\nkit\r\num", {"kot", "kit", "um"}},
        {"mixed ends and a blank line", "kot\r\nkit\n\num", {"kot", "kit", "", "um"}},
        {"cr alone", "a\rb\r", {"a", "b"}},
        {"lf cr makes an empty entry", "a\n\rb", {"a", "", "b"}},
        {"cr cr makes an empty entry", "a\r\rb", {"a", "", "b"}},
        {"single line end", "\r\n", {""}},
        {"empty file", "", {}},
        {"nul first", std::string("\0abc\r\n", 6), {}},
        {"nul in a line ends the text", std::string("ab\r\ncd\0ef\r\ngh", 13), {"ab", "cd"}},
        {"nul after a line end", std::string("ab\r\n\0cd", 7), {"ab"}},
        {"spaces and tabs are kept", " a \t\r\n", {" a \t"}},
        {"high bytes are kept", "\xCA\xEE\xF2\r\n\xFF", {"\xCA\xEE\xF2", "\xFF"}},
    };
    for (const SplitCase& c : cases) {
        DictionaryList dictionary;
        dictionary.LoadDictionaryText("old\r\nlist");  // every load starts from an empty list
        dictionary.LoadDictionaryText(c.bytes);
        EXPECT_EQ(EntriesOf(dictionary), c.entries) << c.name;
    }
}

TEST(DictionaryList, LoadsFromDiskAndReplacesThePreviousList) {
    TempDir dir;
    DictionaryList dictionary;
    EXPECT_EQ(dictionary.FindPrefix("a"), -1);
    dictionary.LoadDictionary(dir.Write("one.txt", "alpha\r\nbeta\r\n"));
    dictionary.LoadDictionary(dir.Write("two.txt", "gamma"));
    EXPECT_EQ(EntriesOf(dictionary), std::vector<std::string>{"gamma"});
    EXPECT_EQ(dictionary.FindPrefix("a"), -1);
}

TEST(DictionaryList, OpenFailuresNameTheFullPathAndKeepTheList) {
    TempDir dir;
    DictionaryList dictionary;
    dictionary.LoadDictionaryText("kept");
    const auto generation = dictionary.Generation();

    const NativePath missing = dir.Path("missing.txt");
    try {
        dictionary.LoadDictionary(missing);
        FAIL() << "loaded a missing file";
    } catch (const FileOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + MessagePath(missing) + "\". " + kNoSuchFile);
    }
    try {
        dictionary.LoadDictionary(dir.Path("."));
        FAIL() << "loaded a directory";
    } catch (const FileOpenError& error) {
        // The "." is resolved by name, as the full path (on Windows without the last separator).
#ifdef _WIN32
        const NativePath folder = std::filesystem::path(dir.Path("x")).parent_path().native();
#else
        const NativePath folder = dir.Path("");
#endif
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + MessagePath(folder) + "\". " + kIsAFolder);
    }
    EXPECT_EQ(EntriesOf(dictionary), std::vector<std::string>{"kept"});
    EXPECT_EQ(dictionary.Generation(), generation);
}

TEST(DictionaryList, RelativePathsAreReportedInFull) {
    DictionaryList dictionary;
    try {
        dictionary.LoadDictionary(
            std::filesystem::path("no-such-dir/../no-such-file.txt").native());
        FAIL();
    } catch (const FileOpenError& error) {
        const NativePath full = (std::filesystem::current_path() / "no-such-file.txt").native();
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + MessagePath(full) + "\". " + kNoSuchFile);
    }
}

TEST(DictionaryList, PathThroughAFileIsAnOpenError) {
    TempDir dir;
    const NativePath path =
        (std::filesystem::path(dir.Write("plain.txt", "a")) / "inside.txt").native();
    DictionaryList dictionary;
    try {
        dictionary.LoadDictionary(path);
        FAIL();
    } catch (const FileOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + MessagePath(path) + "\". " + kNotAFolder);
    }
}

// Windows keeps its named pipes apart from files (\\.\pipe\), and opening one never waits.
#ifndef _WIN32
TEST(DictionaryList, FifoWithoutWriterLoadsEmptyInsteadOfHanging) {
    TempDir dir;
    const NativePath path = dir.Path("fifo");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    DictionaryList dictionary;
    dictionary.LoadDictionaryText("old");
    dictionary.LoadDictionary(path);
    EXPECT_EQ(dictionary.Count(), 0);
}
#endif

TEST(DictionaryList, RefusedEntryKeepsTheEntriesTakenBefore) {
    DictionaryList dictionary;
    dictionary.SetCapacityLimit(2);
    EXPECT_THROW(dictionary.LoadDictionaryText("a\r\nb\r\nc\r\n"), ListInsertError);
    EXPECT_EQ(EntriesOf(dictionary), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(dictionary.FindPrefix("b"), 1);
    EXPECT_EQ(dictionary.FindPrefix("c"), -1);
    dictionary.LoadDictionaryText("a\r\nb\r\n");  // exactly at the limit is fine
    EXPECT_EQ(dictionary.Count(), 2);
}

TEST(DictionaryList, EntryAtChecksItsIndex) {
    DictionaryList dictionary;
    dictionary.LoadDictionaryText("\xCA\xEE\xF8\xEA\xE0\r\n\xEA\xEE\xF2");  // Кошка, кот
    EXPECT_EQ(dictionary.FindPrefix("\xEA\xEE"), 0);                        // ко
    EXPECT_EQ(dictionary.EntryAt(0), "\xCA\xEE\xF8\xEA\xE0");               // capital kept
    EXPECT_EQ(dictionary.FindPrefix("\xEA\xEE\xF2\xE8\xEA"), -1);           // котик
    for (const std::int64_t bad : {-1, 2, 1000}) {
        try {
            dictionary.EntryAt(bad);
            FAIL() << bad;
        } catch (const ListIndexError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "List index out of bounds (" + std::to_string(bad) + ")");
        }
    }
}

TEST(Errors, SystemTextsLoseTheirEndAndTextsTooLongAreLeftOut) {
    EXPECT_EQ(FittedSystemText("File not found.\r\n"), "File not found");
    EXPECT_EQ(FittedSystemText(std::string("Mixed . .\t\0\r\n. ", 15)), "Mixed");
    EXPECT_EQ(FittedSystemText("v1.2 ok"), "v1.2 ok");
    EXPECT_EQ(FittedSystemText("..."), "");
    EXPECT_EQ(FittedSystemText(std::string(255, 'x')), std::string(255, 'x'));
    EXPECT_EQ(FittedSystemText(std::string(256, 'x')), "");  // with its NUL it would not fit
}

TEST(Errors, FullStopIsAddedAfterLettersAndDigitsOnly) {
    EXPECT_EQ(WithFullStop("Stream write error"), "Stream write error.");
    EXPECT_EQ(WithFullStop("List index out of bounds (-1)"), "List index out of bounds (-1)");
    EXPECT_EQ(WithFullStop("Done!"), "Done!");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    EXPECT_EQ(WithFullStop("code 7"), "code 7.");
    EXPECT_EQ(WithFullStop("\xEF\xF3\xF2\xFC"), "\xEF\xF3\xF2\xFC.");  // a Cyrillic last letter
    EXPECT_EQ(WithFullStop(""), "");
}

}  // namespace
}  // namespace bukvotok
