// The headless command as a user runs it: its output bytes, exit statuses and messages, and
// how it stops.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Cp1251.h"
#include "DictionaryList.h"
#include "FakeSearchHost.h"
#include "FullDevice.h"
#include "LetterGenerator.h"
#include "MatchSearch.h"
#include "TestFiles.h"

extern char** environ;

namespace bukvotok {
namespace {

struct Finished {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Where the command's streams go instead of the usual places.
struct Streams {
    int in = -1;           // else the test's own standard input
    int out_and_err = -1;  // else stdout and stderr each go to a file
    int out = -1;          // else stdout goes to a file
};

class Command {
public:
    explicit Command(const std::vector<std::string>& arguments, Streams streams = {}) {
        std::vector<std::string> argv_strings = {BUKVOTOK_SEARCH_PATH};
        argv_strings.insert(argv_strings.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : argv_strings) argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (streams.in >= 0) posix_spawn_file_actions_adddup2(&actions, streams.in, 0);
        if (streams.out_and_err >= 0) {
            posix_spawn_file_actions_adddup2(&actions, streams.out_and_err, 1);
            posix_spawn_file_actions_adddup2(&actions, streams.out_and_err, 2);
        } else {
            if (streams.out >= 0) {
                posix_spawn_file_actions_adddup2(&actions, streams.out, 1);
            } else {
                posix_spawn_file_actions_addopen(&actions, 1, out_path_.c_str(),
                                                 O_WRONLY | O_CREAT | O_TRUNC, 0600);
            }
            posix_spawn_file_actions_addopen(&actions, 2, err_path_.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        }
        posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
    }

    void Signal(int signal) { ::kill(pid_, signal); }

    // Returns once the command catches `signal` and has used `ticks` of processor time (in
    // hundredths of a second), so that the signal finds it searching however busy the machine
    // is; or once it has ended, or used fifty times that without catching the signal.
    void WaitUntilSearching(int signal, unsigned long ticks) {
        const std::string proc = "/proc/" + std::to_string(pid_);
        for (;;) {
            bool catches = false;
            bool ended = true;
            std::istringstream status(ReadFile(proc + "/status"));
            for (std::string line; std::getline(status, line);) {
                if (line.rfind("State:", 0) == 0) ended = line.find('Z') != std::string::npos;
                if (line.rfind("SigCgt:", 0) == 0) {
                    catches = (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1u;
                }
            }
            // utime and stime, the 14th and 15th fields, after the name in parentheses.
            const std::string fields = ReadFile(proc + "/stat");
            std::istringstream after_name(fields.substr(fields.rfind(')') + 1));
            std::string field;
            unsigned long used = 0;
            for (int i = 3; i <= 15 && after_name >> field; ++i) {
                if (i >= 14) used += std::stoul(field);
            }
            if (ended || (used >= ticks && catches) || used >= 50 * ticks) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    Finished Wait() {
        int raw = 0;
        ::waitpid(pid_, &raw, 0);
        Finished run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        run.out = ReadFile(out_path_);
        run.err = ReadFile(err_path_);
        return run;
    }

private:
    TempDir dir_;
    std::string out_path_ = dir_.Path("out");
    std::string err_path_ = dir_.Path("err");
    pid_t pid_ = -1;
};

Finished RunCommand(const std::vector<std::string>& arguments) { return Command(arguments).Wait(); }

const std::string kSample = BUKVOTOK_SAMPLE_DICTIONARY;

std::string UsageText() { return RunCommand({"--help"}).out; }

// What the window's search shows after `passes` passes with no user action, walked pass by
// pass with every call made; `letters`, when given, receives the letters it drew.
std::string WindowResults(const std::string& path, std::uint64_t passes,
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
    const std::string path = dir.Write("a.txt", "\xE0\r\n");
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
    const std::string utf8 = Cp1251ToUtf8(ReadFile(kSample));
    EXPECT_EQ(RunCommand({"--passes", "100000", dir.Write("u.txt", utf8)}).out, expected);

    // Standard input as a pipe, "-", with a byte-order mark.
    int pipe_ends[2];
    // Close-on-exec, so that the command holds no writing end of its own and sees the end.
    ASSERT_EQ(::pipe2(pipe_ends, O_CLOEXEC), 0);
    Command from_stdin({"--passes", "100000", "-"}, {.in = pipe_ends[0]});
    ::close(pipe_ends[0]);
    const std::string marked = "\xEF\xBB\xBF" + utf8;
    ASSERT_EQ(::write(pipe_ends[1], marked.data(), marked.size()),
              static_cast<ssize_t>(marked.size()));
    ::close(pipe_ends[1]);
    const Finished piped = from_stdin.Wait();
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, expected);

    // A named pipe: the command waits for its writer and reads it to its end.
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Command from_fifo({"--passes", "100000", fifo});
    std::ofstream(fifo, std::ios::binary) << utf8;
    EXPECT_EQ(from_fifo.Wait().out, expected);
}

TEST(HeadlessCommand, MatchLimitStopsAfterThatManyWords) {
    const Finished run = RunCommand({"--matches", "25", kSample});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), ' '), 25);
}

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

TEST(HeadlessCommand, ClosedOutputEndsQuietly) {
    int pipe_ends[2];
    ASSERT_EQ(::pipe(pipe_ends), 0);
    std::vector<std::string> argv_strings = {BUKVOTOK_SEARCH_PATH, kSample};
    std::vector<char*> argv = {argv_strings[0].data(), argv_strings[1].data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_ends[1]);
    char head[10];
    ASSERT_EQ(::read(pipe_ends[0], head, sizeof head), 10);
    ::close(pipe_ends[0]);
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    EXPECT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
}

TEST(HeadlessCommand, FailuresAndBadUsage) {
    TempDir dir;
    const Finished missing = RunCommand({dir.Path("none.txt")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "bukvotok-search: Cannot open file \"" + dir.Path("none.txt") +
                               "\". No such file or directory.\n");
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
        const std::string path = dir.Write("words.txt", list.words);
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
        std::vector<std::string> arguments;
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
}

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

}  // namespace
}  // namespace bukvotok
