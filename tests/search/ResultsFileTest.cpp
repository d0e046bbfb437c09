#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <fstream>
#include <sstream>
#include <vector>

#include "Errors.h"
#include "FailingDisk.h"
#include "FullDevice.h"
#include "ResultsFile.h"
#include "SystemReasons.h"
#include "TestFiles.h"

namespace bukvotok {
namespace {

std::string Contents(const NativePath& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(ResultsFile, WritesTheTextExactlyAndTruncatesAnOldFile) {
    TempDir dir;
    const NativePath path = dir.Write("out.txt", "a much longer old content of the file");
    SaveResultsFile(path, " \xEA\xEE\xF2 \xEA\xE8\xF2 \xF3\xEC");  // кот кит ум
    EXPECT_EQ(Contents(path), " \xEA\xEE\xF2 \xEA\xE8\xF2 \xF3\xEC");
    SaveResultsFile(path, "");
    EXPECT_EQ(Contents(path), "");
    SaveResultsFile(path, "typed\r\ntext");
    EXPECT_EQ(Contents(path), "typed\r\ntext");
}

TEST(ResultsFile, PiecesAreWrittenInChunksAsOneTextWithTheProgressBetween) {
    TempDir dir;
    const NativePath path = dir.Path("out.txt");
    const std::string_view pieces[] = {" abc", "", "defgh", "i", " jklmnopqr"};
    std::vector<std::uint64_t> reports;
    SaveResultsFile(
        path, pieces,
        [&](std::uint64_t written, std::uint64_t total) {
            EXPECT_EQ(total, 20u);
#ifdef _WIN32
            // Windows shares a file being saved with no one, this test included.
            EXPECT_FALSE(std::ifstream(std::filesystem::path(path)).is_open());
#else
            EXPECT_EQ(Contents(path).size(), written);  // what it says is in the file
#endif
            reports.push_back(written);
        },
        4);
    EXPECT_EQ(Contents(path), " abcdefghi jklmnopqr");
    EXPECT_EQ(reports, (std::vector<std::uint64_t>{4, 8, 14, 18, 20}));
    if (HaveFullDevice()) {
        EXPECT_THROW(SaveResultsFile(kFullDevice, pieces, {}, 4), StreamWriteError);
    }

#ifndef _WIN32  // a file size limit of the process is POSIX's; FailingDisk stands in elsewhere
    // A disk that fills up half-way: the file keeps what went in, and no report claimed more.
    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit;
    limit.rlim_cur = 10;
    setrlimit(RLIMIT_FSIZE, &limit);
    reports.clear();
    EXPECT_THROW(SaveResultsFile(
                     path, pieces,
                     [&](std::uint64_t written, std::uint64_t) { reports.push_back(written); }, 4),
                 StreamWriteError);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(Contents(path), " abcdefghi");
    EXPECT_EQ(reports, (std::vector<std::uint64_t>{4, 8}));
#endif
}

// Each way a disk can fail a save ends it with StreamWriteError, the file keeping what went in
// and no progress report claiming more; only an interruption before anything was taken is
// tried again.
TEST(ResultsFile, ADiskThatFailsKeepsWhatWasWritten) {
    struct Case {
        const char* name;
        FailingDisk::Failure failure;
        const char* kept;
        bool reported;
        std::vector<std::uint64_t> reports;
    };
    std::vector<Case> cases = {
        {"short write", FailingDisk::Failure::kShortWrite, " abcdefghi ", true, {4, 8}},
        {"full disk", FailingDisk::Failure::kFull, " abcdefghi ", true, {4, 8}},
        {"failing close",
         FailingDisk::Failure::kClose,
         " abcdefghi jklmnopqr",
         true,
         {4, 8, 14, 18, 20}},
        {"interrupted",
         FailingDisk::Failure::kInterrupted,
         " abcdefghi jklmnopqr",
         false,
         {4, 8, 14, 18, 20}},
    };
#ifdef _WIN32
    cases.pop_back();  // no signal interrupts a call on Windows
#endif
    TempDir dir;
    const NativePath path = dir.Path("out.txt");
    const std::string_view pieces[] = {" abc", "", "defgh", "i", " jklmnopqr"};
    for (const Case& c : cases) {
        std::vector<std::uint64_t> reports;
        bool reported = false;
        try {
            const FailingDisk disk(c.failure, 11);
            SaveResultsFile(
                path, pieces,
                [&](std::uint64_t written, std::uint64_t) { reports.push_back(written); }, 4);
        } catch (const StreamWriteError&) {
            reported = true;
        }
        EXPECT_EQ(reported, c.reported) << c.name;
        EXPECT_EQ(Contents(path), c.kept) << c.name;
        EXPECT_EQ(reports, c.reports) << c.name;
    }
}

TEST(ResultsFile, FailuresAreReportedWithTheirMessages) {
    TempDir dir;
    const NativePath in_missing_folder = dir.Path("no-folder/out.txt");
    try {
        SaveResultsFile(in_missing_folder, "x");
        FAIL();
    } catch (const FileCreateError& error) {
        EXPECT_EQ(
            std::string(error.what()),
            "Cannot create file \"" + MessagePath(in_missing_folder) + "\". " + kNoSuchFolder);
    }
    EXPECT_THROW(SaveResultsFile(dir.Path(""), "x"), FileCreateError);
    if (!HaveFullDevice()) GTEST_SKIP() << "/dev/full is not a character device here";
    try {
        SaveResultsFile(kFullDevice, "words");
        FAIL();
    } catch (const StreamWriteError& error) {
        EXPECT_EQ(WithFullStop(error.what()), "Stream write error.");
    }
    EXPECT_NO_THROW(SaveResultsFile(kFullDevice, ""));  // nothing to write, nothing to fail
}

}  // namespace
}  // namespace bukvotok
