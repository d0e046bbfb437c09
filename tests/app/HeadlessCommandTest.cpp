// The headless command as a user runs it: its output bytes, exit statuses and messages, and
// how it stops.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Cp1251.h"
#include "DictionaryList.h"
#include "FakeSearchHost.h"
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

class Command {
public:
    // Starts the command with stdout and stderr going to files.
    explicit Command(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv_strings = {BUKVOTOK_SEARCH_PATH};
        argv_strings.insert(argv_strings.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : argv_strings) argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out_path_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err_path_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
    }

    void Signal(int signal) { ::kill(pid_, signal); }

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

// What the window's search shows after `passes` passes with no user action.
std::string WindowResults(const std::string& path, std::uint64_t passes) {
    DictionaryList dictionary;
    dictionary.LoadDictionary(path);
    SetRandomState(0);
    AppendingSearchHost host(passes);
    RunSearch(host, dictionary);
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
    const std::string expected = WindowResults(kSample, 200000);
    ASSERT_GT(expected.size(), 1000u);
    const Finished run = RunCommand({"--passes", "200000", kSample});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(RunCommand({"--utf8", "--passes", "200000", kSample}).out, Cp1251ToUtf8(expected));
}

TEST(HeadlessCommand, MatchLimitStopsAfterThatManyWords) {
    const Finished run = RunCommand({"--matches", "25", kSample});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), ' '), 25);
}

TEST(HeadlessCommand, StopSignalEndsAfterThePassWithEverythingFoundSoFar) {
    for (const int signal : {SIGINT, SIGTERM}) {
        Command command({"--stats", kSample});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
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
    EXPECT_EQ(missing.err,
              "Cannot open file \"" + dir.Path("none.txt") + "\". No such file or directory.\n");
    EXPECT_EQ(missing.out, "");

    // No entry begins with а-ю: without a pass limit nothing could ever end the search.
    const std::string no_walks = dir.Write("ya.txt", "\xFF\xFF\r\nLatin\r\n\xB8\r\n");
    const Finished endless = RunCommand({no_walks});
    EXPECT_EQ(endless.status, 1);
    EXPECT_NE(endless.err.find("no word can ever be found"), std::string::npos);
    const Finished bounded = RunCommand({"--passes", "1000", no_walks});
    EXPECT_EQ(bounded.status, 0);
    EXPECT_EQ(bounded.out, "");

    const std::vector<std::vector<std::string>> bad_usages = {{},
                                                              {"--passes", "0", kSample},
                                                              {"--passes", "x", kSample},
                                                              {"--matches"},
                                                              {"--fast", kSample},
                                                              {kSample, kSample}};
    for (const auto& usage : bad_usages) {
        const Finished run = RunCommand(usage);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("usage: bukvotok-search"), std::string::npos);
    }
}

}  // namespace
}  // namespace bukvotok
