#include "CommandRun.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace bukvotok {

std::string ReadWholeFile(const NativePath& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

Command::Command(const std::vector<Argument>& arguments, Streams streams) {
    std::vector<std::string> argv_strings = {BUKVOTOK_SEARCH_PATH};
    for (const Argument& argument : arguments) argv_strings.push_back(argument.Native());
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

Command::~Command() = default;

void Command::Signal(int signal) { ::kill(pid_, signal); }

void Command::WaitUntilSearching(int signal, unsigned long ticks) {
    const std::string proc = "/proc/" + std::to_string(pid_);
    for (;;) {
        bool catches = false;
        bool ended = true;
        std::istringstream status(ReadWholeFile(proc + "/status"));
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("State:", 0) == 0) ended = line.find('Z') != std::string::npos;
            if (line.rfind("SigCgt:", 0) == 0) {
                catches = (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1u;
            }
        }
        // utime and stime, the 14th and 15th fields, after the name in parentheses.
        const std::string fields = ReadWholeFile(proc + "/stat");
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

Finished Command::Wait() {
    int raw = 0;
    ::waitpid(pid_, &raw, 0);
    Finished run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = ReadWholeFile(out_path_);
    run.err = ReadWholeFile(err_path_);
    return run;
}

}  // namespace bukvotok
