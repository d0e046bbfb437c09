// What Windows adds to the file rules: names in UTF-16 and in Windows' other spellings, sharing
// while a file is open, and which file a name is.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "DictionaryList.h"
#include "Errors.h"
#include "FileIdentity.h"
#include "ResultsFile.h"
#include "SystemErrorText.h"
#include "TestFiles.h"
#include "windows/WideText.h"

namespace bukvotok {
namespace {

// Another program's handle on a file, for as long as the test holds it.
class HeldElsewhere {
public:
    HeldElsewhere(const NativePath& path, DWORD access, DWORD sharing)
        : handle_(
              ::CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    HeldElsewhere(const HeldElsewhere&) = delete;
    HeldElsewhere& operator=(const HeldElsewhere&) = delete;
    ~HeldElsewhere() { ::CloseHandle(handle_); }
    bool Holds() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

std::string Reason(DWORD error) { return SystemErrorText(static_cast<int>(error)); }

TEST(WindowsFiles, NamesInAnyAlphabetLoadAndShowInMessages) {
    TempDir dir;
    const std::filesystem::path folder = dir.Path("");
    const NativePath russian = (folder / L"словарь.txt").native();
    std::filesystem::copy_file(dir.Write("list.txt", "\xEA\xEE\xF2\r\n"), russian);
    DictionaryList dictionary;
    dictionary.LoadDictionary(russian);
    EXPECT_EQ(dictionary.EntryAt(0), "\xEA\xEE\xF2");

    // The name's letters in Windows-1251, and "?" for what the code page lacks, never a
    // look-alike ("é" is not "e").
    try {
        dictionary.LoadDictionary((folder / L"日本-é-ж.txt").native());
        FAIL();
    } catch (const FileOpenError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + MessagePath(folder.native()) +
                                                 "??"
                                                 "-?-\xE6.txt\". " +
                                                 Reason(ERROR_FILE_NOT_FOUND));
    }
}

TEST(WindowsFiles, FullPathsResolveWindowsSpellings) {
    const NativePath here = std::filesystem::current_path().native();
    const std::string drive = WideToCp1251(here.substr(0, 2));
    const std::string cwd = WideToCp1251(here);
    struct Case {
        const wchar_t* path;
        std::string full;
    };
    const Case cases[] = {
        {L"", ""},
        {L"list.txt", cwd + "\\list.txt"},
        {L"a/b/../c.txt", cwd + "\\a\\c.txt"},
        {L".\\a\\.\\c.txt", cwd + "\\a\\c.txt"},
        {L"\\top.txt", drive + "\\top.txt"},
        {L"Q:\\x\\..\\y.txt", "Q:\\y.txt"},
        {L"Q:/x/y/", "Q:\\x\\y\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(FullPath(c.path), c.full) << WideToUtf8(c.path);
}

TEST(WindowsFiles, ALoadSharesTheFileForReadingOnly) {
    TempDir dir;
    const NativePath path = dir.Write("list.txt", "kot\r\n");
    DictionaryList dictionary;
    {
        // Another reader that lets others read: both read.
        const HeldElsewhere reader(path, GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(reader.Holds());
        dictionary.LoadDictionary(path);
        EXPECT_EQ(dictionary.Count(), 1);
    }
    {
        // A writer, however much it shares: the load refuses to read a file being written.
        const HeldElsewhere writer(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(writer.Holds());
        try {
            dictionary.LoadDictionary(dir.Write("other.txt", "a\r\nb\r\n"));
            dictionary.LoadDictionary(path);
            FAIL() << "loaded a file another program writes";
        } catch (const FileOpenError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + MessagePath(path) +
                                                     "\". " + Reason(ERROR_SHARING_VIOLATION));
        }
        EXPECT_EQ(dictionary.Count(), 2);
    }
}

TEST(WindowsFiles, ASaveSharesTheFileWithNoOne) {
    TempDir dir;
    const NativePath path = dir.Write("results.txt", "kept");
    {
        const HeldElsewhere reader(path, GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(reader.Holds());
        try {
            SaveResultsFile(path, " new");
            FAIL() << "saved over a file another program has open";
        } catch (const FileCreateError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + MessagePath(path) +
                                                     "\". " + Reason(ERROR_SHARING_VIOLATION));
        }
    }
    EXPECT_EQ(std::filesystem::file_size(path), 4u);  // "kept"
    SaveResultsFile(path, " newer");
    EXPECT_EQ(std::filesystem::file_size(path), 6u);
}

TEST(WindowsFiles, IdentityIsTheFileWhateverNamesIt) {
    TempDir dir;
    const NativePath path = dir.Write("List.txt", "kot\r\n");
    const NativePath other = dir.Write("other.txt", "kot\r\n");
    const NativePath linked = dir.Path("linked.txt");
    ASSERT_TRUE(::CreateHardLinkW(linked.c_str(), path.c_str(), nullptr));
    std::optional<FileIdentity> loaded;
    DictionaryList dictionary;
    dictionary.LoadDictionary(path, &loaded);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(IdentityOf(path), loaded);
    EXPECT_EQ(IdentityOf(dir.Path("LIST.TXT")), loaded);
    EXPECT_EQ(IdentityOf(dir.Path("sub\\..\\list.txt")), loaded);
    EXPECT_EQ(IdentityOf(linked), loaded);
    EXPECT_NE(IdentityOf(other), loaded);
    EXPECT_EQ(IdentityOf(dir.Path("missing.txt")), std::nullopt);
    {
        // Held by another program without sharing, the file still tells which it is.
        const HeldElsewhere holder(path, GENERIC_READ | GENERIC_WRITE, 0);
        ASSERT_TRUE(holder.Holds());
        EXPECT_EQ(IdentityOf(path), loaded);
    }
}

TEST(WindowsFiles, SystemTextsComeWithoutTheirEnd) {
    const std::string text = Reason(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(static_cast<unsigned char>(text.back()), '.');
    EXPECT_GT(static_cast<unsigned char>(text.back()), ' ');
    EXPECT_EQ(text.find('?'), std::string::npos) << text;
    EXPECT_EQ(Reason(0x2000FFFF), "");  // a code Windows has no text for
}

}  // namespace
}  // namespace bukvotok
