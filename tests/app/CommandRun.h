// The headless command run as its user runs it: its arguments, where its streams go, and its
// exit status and what it wrote when it ends.  posix/ and windows/ start it as their systems do.
#pragma once

#include <string>
#include <vector>

#include "NativePath.h"
#include "SystemFile.h"
#include "TestFiles.h"
#include "TestPipes.h"

namespace bukvotok {

// An argument as the system hands it over: ASCII widened on Windows, or a path as it is.
class Argument {
public:
    Argument(const char* ascii) : native_(ascii, ascii + std::char_traits<char>::length(ascii)) {}
    Argument(NativePath native) : native_(std::move(native)) {}
#ifdef _WIN32
    Argument(const std::string& ascii) : native_(ascii.begin(), ascii.end()) {}
#endif
    const NativePath& Native() const { return native_; }

private:
    NativePath native_;
};

struct Finished {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Where the command's streams go instead of the usual places.
struct Streams {
    NativeFile in = kNoPipe;           // else the test's own standard input
    NativeFile out_and_err = kNoPipe;  // else stdout and stderr each go to a file
    NativeFile out = kNoPipe;          // else stdout goes to a file
};

class Command {
public:
    explicit Command(const std::vector<Argument>& arguments, Streams streams = {});
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;
    ~Command();

    Finished Wait();

#ifndef _WIN32
    void Signal(int signal);

    // Returns once the command catches `signal` and has used `ticks` of processor time (in
    // hundredths of a second), so that the signal finds it searching however busy the machine
    // is; or once it has ended, or used fifty times that without catching the signal.
    void WaitUntilSearching(int signal, unsigned long ticks);
#endif

private:
    TempDir dir_;
    NativePath out_path_ = dir_.Path("out");
    NativePath err_path_ = dir_.Path("err");
#ifdef _WIN32
    void* process_ = nullptr;
#else
    int pid_ = -1;
#endif
};

inline Finished RunCommand(const std::vector<Argument>& arguments) {
    return Command(arguments).Wait();
}

std::string ReadWholeFile(const NativePath& path);

}  // namespace bukvotok
