// The headless command as a user runs it: its output bytes, exit statuses and messages, and
// how it stops.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "CommandRun.h"
#include "Cp1251.h"
#include "DictionaryList.h"
#include "FakeSearchHost.h"
#include "FullDevice.h"
#include "LetterGenerator.h"
#include "MatchSearch.h"
#include "SystemReasons.h"
#include "TestFiles.h"
#include "TestPipes.h"

namespace bukvotok {
namespace {

const NativePath kSample = Argument(BUKVOTOK_SAMPLE_DICTIONARY).Native();

// A message of the core as the command writes it: UTF-8 on Windows, where the core's texts are
// Windows-1251.
std::string AsWritten(const std::string& core_message) {
#ifdef _WIN32
    return Cp1251ToUtf8(core_message);
#else
    return core_message;
#endif
}

std::string UsageText() { return RunCommand({"--help"}).out; }

// What the window's search shows after `passes` passes with no user action, walked pass by
// pass with every call made; `letters`, when given, receives the letters it drew.
std::string WindowResults(const NativePath& path, std::uint64_t passes,
                          std::uint64_t* letters = nullptr) {
    DictionaryList dictionary;
    dictionary.LoadDictionary(path);
    SetRandomState(0);
    AppendingSearchHost host(passes);
    RunSearch(host, dictionary);
    if (letters) *letters = host.passes + host.pumps - 1;
    return host.results;
}

TEST(HeadlessCommand, SingleLetterDictionary) {
    TempDir dir;
    const NativePath path = dir.Write("a.txt", "\xE0\r\n");
    const Finished run = RunCommand({"--passes", "10", "--stats", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, " \xE0");
    EXPECT_NE(run.err.find("10 passes, 11 letters, 1 matches, "), std::string::npos) << run.err;
}

TEST(HeadlessCommand, OutputIsWhatTheWindowWouldShowAfterAsManyPasses) {
    std::uint64_t letters = 0;
    const std::string expected = WindowResults(kSample, 200000, &letters);
    ASSERT_GT(expected.size(), 1000u);
    const Finished run = RunCommand({"--passes", "200000", kSample});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");
    // The command counts the calls it leaves to the search: the same letters.
    const std::string figures = RunCommand({"--stats", "--passes", "200000", kSample}).err;
    EXPECT_EQ(figures.find("200000 passes, " + std::to_string(letters) + " letters, "), 0u)
        << figures;
    EXPECT_EQ(RunCommand({"--utf8", "--passes", "200000", kSample}).out, Cp1251ToUtf8(expected));
}

TEST(HeadlessCommand, Utf8ListsFromFilesAndPipesFindTheSameBytes) {
    const std::string expected = RunCommand({"--passes", "100000", kSample}).out;
    ASSERT_GT(expected.size(), 1000u);
    TempDir dir;
    const std::string utf8 = Cp1251ToUtf8(ReadWholeFile(kSample));
    EXPECT_EQ(RunCommand({"--passes", "100000", dir.Write("u.txt", utf8)}).out, expected);

    // Standard input as a pipe, "-", with a byte-order mark; the command holds no writing end.
    const NativeFile pipe = PipeHolding("\xEF\xBB\xBF" + utf8);
    ASSERT_NE(pipe, kNoPipe);
    Command from_stdin({"--passes", "100000", "-"}, {.in = pipe});
    ClosePipeEnd(pipe);
    const Finished piped = from_stdin.Wait();
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, expected);

#ifndef _WIN32  // Windows has no named pipes among its files
    // A named pipe: the command waits for its writer and reads it to its end.
    const NativePath fifo = dir.Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Command from_fifo({"--passes", "100000", fifo});
    std::ofstream(fifo, std::ios::binary) << utf8;
    EXPECT_EQ(from_fifo.Wait().out, expected);
#endif
}

TEST(HeadlessCommand, MatchLimitStopsAfterThatManyWords) {
    const Finished run = RunCommand({"--matches", "25", kSample});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), ' '), 25);
}

// Windows' Ctrl+C and Ctrl+Break reach only programs of the sender's console, which wine does not
// give a test; bukvotok-search.exe was stopped by hand in a wine console instead.
#ifndef _WIN32
TEST(HeadlessCommand, StopSignalEndsAfterThePassWithEverythingFoundSoFar) {
    for (const int signal : {SIGINT, SIGTERM}) {
        Command command({"--stats", kSample});
        command.WaitUntilSearching(signal, 20);
        command.Signal(signal);
        const Finished run = command.Wait();
        ASSERT_EQ(run.status, 0) << run.err;
        // The figures name the passes run; the output is exactly that many passes' words.
        const std::uint64_t passes = std::stoull(run.err);
        ASSERT_GT(passes, 0u);
        EXPECT_EQ(run.out, WindowResults(kSample, passes));
    }
}

#endif

TEST(HeadlessCommand, ClosedOutputEndsQuietly) {
    NativeFile writer = kNoPipe;
    const NativeFile reader = PipeHolding("", &writer);
    ASSERT_NE(reader, kNoPipe);
    Command command({kSample}, {.out = writer});
    ClosePipeEnd(writer);
    char head[10];
    ASSERT_EQ(ReadOnce(reader, head, sizeof head), sizeof head);
    ClosePipeEnd(reader);
    const Finished run = command.Wait();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}

TEST(HeadlessCommand, FailuresAndBadUsage) {
    TempDir dir;
    const Finished missing = RunCommand({dir.Path("none.txt")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "bukvotok-search: " +
                               AsWritten("Cannot open file \"" + MessagePath(dir.Path("none.txt")) +
                                         "\". " + kNoSuchFile) +
                               ".\n");
    EXPECT_EQ(missing.out, "");

    // Nothing could ever end these searches without a pass limit, and with one they can only
    // come back empty: no entry begins with а-ю, or walks start (capitals lead them on) but no
    // entry of small letters can end one.  What the list looks like is named when it explains
    // that; a list in capitals whose one word was not come upon is no error.
    const auto utf16 = [](const std::string& utf8, bool big_endian, bool mark) {
        std::string bytes = mark ? (big_endian ? "\xFE\xFF" : "\xFF\xFE") : "";
        for (const char16_t u : std::u16string(utf8.begin(), utf8.end())) {
            const char16_t unit = static_cast<unsigned char>(u) < 0x80
                                      ? u
                                      : Cp1251ToUnicode(static_cast<unsigned char>(u));
            const char low = static_cast<char>(unit & 0xFF);
            const char high = static_cast<char>(unit >> 8);
            bytes += big_endian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    const std::string words = Utf8ToCp1251("кот\r\nум\r\n");
    struct Unfound {
        std::string words;
        const char* why;  // nullptr: the search runs and finds nothing by chance
        const char* hint;
    };
    const char* const kNoStart = "no entry begins with a small letter";
    const char* const kNoEnd = "no entry made only of the small letters";
    const char* const kUtf16 = "the file looks like UTF-16: ";
    const char* const kCapitals = "most letters of the list are capitals, ";
    const std::vector<Unfound> unfound = {
        {"\xFF\xFF\r\nLatin\r\n\xB8\r\n", kNoStart, "most letters of the list are Latin; "},
        {"\xCA\xCE\xD2\r\n\xCA\xE8\xF2", kNoEnd, kCapitals},
        {Utf8ToCp1251("КОТ\r\nКИТ\r\nДОМ\r\nабвгдеж"), nullptr, kCapitals},
        {utf16(words, false, true), kNoStart, kUtf16},
        {utf16(words, false, false), kNoStart, kUtf16},
        {utf16(words, true, false), kNoStart, kUtf16},
        {utf16(words, true, true), kNoEnd, kUtf16},  // its mark begins with ю
    };
    for (const Unfound& list : unfound) {
        const NativePath path = dir.Write("words.txt", list.words);
        const Finished bounded = RunCommand({"--passes", "1000", path});
        EXPECT_EQ(bounded.out, "");
        EXPECT_NE(bounded.err.find(list.hint), std::string::npos) << bounded.err;
        if (list.why == nullptr) {
            EXPECT_EQ(bounded.status, 0);
            EXPECT_EQ(bounded.err.find("so no word can ever be found"), std::string::npos);
            continue;
        }
        EXPECT_EQ(bounded.status, 1);
        EXPECT_EQ(bounded.err.rfind(std::string("bukvotok-search: ") + list.why, 0), 0u)
            << bounded.err;
        EXPECT_NE(bounded.err.find("so no word can ever be found\nbukvotok-search: "),
                  std::string::npos);
        const Finished endless = RunCommand({path});
        EXPECT_EQ(endless.status, 1);
        EXPECT_EQ(endless.err, bounded.err);
    }
    // No hint for a list whose words were not come upon in one pass, or were found.
    const Finished one_pass = RunCommand({"--passes", "1", dir.Write("words.txt", words)});
    EXPECT_EQ(one_pass.out, "");
    const std::string capitals_and_a = Utf8ToCp1251("КОТ\r\nКИТ\r\nДОМ\r\nа");
    const Finished found = RunCommand({"--passes", "1000", dir.Write("words.txt", capitals_and_a)});
    EXPECT_NE(found.out, "");
    for (const Finished& run : {one_pass, found}) {
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
    }

    struct Usage {
        std::vector<Argument> arguments;
        const char* message;
    };
    const std::vector<Usage> bad_usages = {
        {{}, "no dictionary given"},
        {{"--passes", "0", kSample}, "--passes needs a whole number of 1 or more"},
        {{"--passes", "x", kSample}, "--passes needs a whole number of 1 or more"},
        {{"--matches"}, "--matches needs a whole number of 1 or more"},
        {{"--passes", "99999999999999999999", kSample},
         "--passes: 99999999999999999999 is too large; the largest is 18446744073709551615"},
        {{"--fast", kSample}, "unknown option --fast"},
        {{kSample, kSample}, "only one dictionary can be searched"}};
    for (const Usage& usage : bad_usages) {
        const Finished run = RunCommand(usage.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, std::string("bukvotok-search: ") + usage.message + "\n" +
                               UsageText().substr(0, UsageText().find("\n\n") + 1) +
                               "Try 'bukvotok-search --help' for more information.\n");
    }
}

TEST(HeadlessCommand, HelpAndVersionGoToStandardOutput) {
    const Finished help = RunCommand({"--passes", "5", "--help", kSample});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, UsageText());
    EXPECT_NE(help.out.find(" [--] DICTIONARY\n"), std::string::npos);
    // Within the 80 columns of a terminal, or a line breaks in the middle of a word.
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
    EXPECT_EQ(help.err, "");
    const Finished version = RunCommand({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "bukvotok-search " BUKVOTOK_VERSION "\n");

#ifndef _WIN32  // Windows has no device that is always full
    // A full disk is an error, said on standard error.
    if (!HaveFullDevice()) GTEST_SKIP() << kFullDevice << " is not a character device here";
    const int full = ::open(kFullDevice, O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    for (const char* const option : {"--help", "--version"}) {
        const Finished failed = Command({option}, {.out = full}).Wait();
        EXPECT_EQ(failed.status, 1);
        EXPECT_EQ(failed.err, "bukvotok-search: standard output: No space left on device\n");
    }
    ::close(full);
#endif
}

// A terminal that the test reads back is POSIX's; the Windows console's progress line was watched
// by hand in a wine console.
#ifndef _WIN32
// The lines a terminal shows for `bytes`: enough of one to see text overwritten or erased.
std::vector<std::string> ScreenLines(const std::string& bytes) {
    std::vector<std::string> lines(1);
    std::size_t column = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::string& line = lines.back();
        if (bytes.compare(i, 3, "\033[K") == 0) {
            line.resize(std::min(line.size(), column));
            i += 2;
        } else if (bytes[i] == '\r') {
            column = 0;
        } else if (bytes[i] == '\n') {
            lines.emplace_back();
            column = 0;
        } else if (column < line.size()) {
            line[column++] = bytes[i];
        } else {
            line += bytes[i];
            ++column;
        }
    }
    return lines;
}

TEST(HeadlessCommand, OnATerminalTheProgressAndFiguresKeepOffTheWords) {
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    // Kept open here too, so that the terminal outlives the command until everything is read.
    const int command_side = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY);
    ASSERT_GE(command_side, 0);
    // A word that a few walks a second end on, so that the screen holds a few lines of words.
    TempDir dir;
    const std::string dictionary = dir.Write("abv.txt", "\xE0\xE1\xE2");
    Command command({"--utf8", "--stats", dictionary}, {.out_and_err = command_side});

    // The progress line shows after a second and is redrawn every half second; stop once it has
    // been up for a while, with words coming in between.
    using Clock = std::chrono::steady_clock;
    std::string shown;
    const Clock::time_point give_up = Clock::now() + std::chrono::seconds(30);
    std::optional<Clock::time_point> progress_seen;
    bool stopped = false;
    for (;;) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 500) <= 0) {
            if (stopped) break;
        } else {
            char chunk[4096];
            const ssize_t got = ::read(terminal, chunk, sizeof chunk);
            if (got <= 0) break;
            shown.append(chunk, static_cast<std::size_t>(got));
        }
        const Clock::time_point now = Clock::now();
        if (!progress_seen && shown.find("\033[K") != std::string::npos) progress_seen = now;
        if (!stopped && (now > give_up || (progress_seen && now - *progress_seen >
                                                                std::chrono::milliseconds(700)))) {
            command.Signal(SIGINT);
            stopped = true;
        }
    }
    const Finished run = command.Wait();
    ::close(command_side);
    ::close(terminal);
    ASSERT_EQ(run.status, 0);
    ASSERT_NE(shown.find("\033[K"), std::string::npos) << "no progress line was shown";

    // What is left on the screen: the words, on as many lines as the progress line broke them
    // into, then the figures on a line of their own.
    std::vector<std::string> lines = ScreenLines(shown);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back(), "");
    const std::string figures = lines[lines.size() - 2];
    const std::uint64_t passes = std::stoull(figures);
    EXPECT_NE(figures.find(" passes, "), std::string::npos);
    std::string words;
    for (std::size_t i = 0; i + 2 < lines.size(); ++i) words += lines[i];
    const std::string expected =
        RunCommand({"--utf8", "--passes", std::to_string(passes), dictionary}).out;
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(words == expected)
        << words.size() << " bytes of words left on the screen, " << expected.size() << " written";
}
#endif

}  // namespace
}  // namespace bukvotok
