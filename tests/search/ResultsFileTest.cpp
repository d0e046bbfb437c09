#include "ResultsFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Errors.h"
#include "TestFiles.h"

namespace bukvotok {
namespace {

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

TEST(ResultsFile, WritesTheTextExactlyAndTruncatesAnOldFile) {
    TempDir dir;
    const std::string path = dir.Write("out.txt", "a much longer old content of the file");
    SaveResultsFile(path, " \xEA\xEE\xF2 \xEA\xE8\xF2 \xF3\xEC");  // кот кит ум
    EXPECT_EQ(Contents(path), " \xEA\xEE\xF2 \xEA\xE8\xF2 \xF3\xEC");
    SaveResultsFile(path, "");
    EXPECT_EQ(Contents(path), "");
    SaveResultsFile(path, "typed\r\ntext");
    EXPECT_EQ(Contents(path), "typed\r\ntext");
}

TEST(ResultsFile, FailuresAreReportedWithTheirMessages) {
    TempDir dir;
    const std::string in_missing_folder = dir.Path("no-folder/out.txt");
    try {
        SaveResultsFile(in_missing_folder, "x");
        FAIL();
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + in_missing_folder + "\". No such file or directory");
    }
    EXPECT_THROW(SaveResultsFile(dir.Path(""), "x"), FileCreateError);
    try {
        SaveResultsFile("/dev/full", "words");
        FAIL();
    } catch (const StreamWriteError& error) {
        EXPECT_EQ(WithFullStop(error.what()), "Stream write error.");
    }
    EXPECT_NO_THROW(SaveResultsFile("/dev/full", ""));  // nothing to write, nothing to fail
}

}  // namespace
}  // namespace bukvotok
