// bukvotok-search: the window's search without the window, for batch use and for measuring.
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "DictionaryFile.h"
#include "DictionaryList.h"
#include "Errors.h"
#include "HeadlessHost.h"
#include "LetterGenerator.h"
#include "ListHint.h"
#include "MatchSearch.h"
#include "ResultsOutput.h"
#include "StderrLine.h"
#include "StopSignal.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// Every message names the program, as a command in a pipeline must.
void Complain(bukvotok::StderrLine& stderr_line, const std::string& message) {
    stderr_line.StartLine();
    std::fprintf(stderr, "bukvotok-search: %s\n", message.c_str());
}

void PrintFigures(const bukvotok::SearchFigures& figures) {
    const double rate =
        figures.seconds > 0 ? static_cast<double>(figures.letters) / figures.seconds : 0.0;
    std::fprintf(stderr,
                 "%" PRIu64 " passes, %" PRIu64 " letters, %" PRIu64
                 " matches, %.3f s, %.0f letters/s\n",
                 figures.passes, figures.letters, figures.matches, figures.seconds, rate);
}

// Unlike the window, the command reads a pipe or a terminal to its end.
std::string ReadDictionary(const std::string& name) {
    if (name == "-") return bukvotok::ReadToEnd(STDIN_FILENO);
    return bukvotok::ReadDictionaryFile(name, bukvotok::Streams::kReadToEnd);
}

// Without a word to find, only a pass limit could end the search: no walk, or no step of one,
// would ever see the stop.
const char* WhyNothingCanBeFound(const bukvotok::DictionaryList& dictionary) {
    if (!dictionary.CanStartWalk()) {
        return "no entry begins with a small letter from а to ю (Windows-1251), so no word can "
               "ever be found";
    }
    if (!dictionary.CanRecordWord()) {
        return "no entry made only of the small letters а to ю is the first entry that begins "
               "with itself and the end of a walk (some letter а to ю leads from it to no "
               "entry), so no word can ever be found";
    }
    return nullptr;
}

int RunHeadless(const bukvotok::HeadlessOptions& options, bukvotok::StderrLine& stderr_line) {
    bukvotok::DictionaryList dictionary;
    std::string text = ReadDictionary(options.dictionary);
    const bool looks_like_utf16 = bukvotok::LooksLikeUtf16(text);
    dictionary.LoadDictionaryBytes(std::move(text));
    // Only when nothing was found is the list's look worth a hint.
    const auto explain = [&](const char* why) {
        if (why) Complain(stderr_line, why);
        const char* hint = bukvotok::ListHint(looks_like_utf16, dictionary.Entries());
        if (hint) Complain(stderr_line, hint);
    };
    const char* const why = WhyNothingCanBeFound(dictionary);
    if (why && options.max_passes == 0) {
        explain(why);
        return kExitError;
    }

    bukvotok::InstallStopSignals();
    bukvotok::ResultsOutput output(STDOUT_FILENO, &stderr_line);
    bukvotok::HeadlessHost host(options, output, stderr_line, ::isatty(STDERR_FILENO) != 0);
    bukvotok::SetRandomState(0);
    try {
        bukvotok::RunSearch(host, dictionary);
    } catch (...) {
        output.Flush();
        throw;
    }
    output.Flush();
    stderr_line.StartLine();
    if (options.stats) PrintFigures(host.Figures());
    if (output.WriteError() != 0) {
        Complain(stderr_line,
                 std::string("standard output: ") + std::strerror(output.WriteError()));
        return kExitError;
    }
    // A list on which no word can ever be found is an error even when the passes ran as asked;
    // one whose words were not come upon in so few passes is not.
    if (host.Figures().matches == 0) explain(why);
    return why ? kExitError : 0;
}

// For --help and --version.
int Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return 0;
    std::fprintf(stderr, "bukvotok-search: standard output: %s\n", std::strerror(errno));
    return kExitError;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string usage_error;
    const auto options = bukvotok::ParseCommandLine(arguments, usage_error);
    if (!options) {
        // The synopsis, every line of it up to the blank line that ends it.
        const std::string_view usage = bukvotok::kHeadlessUsage;
        std::fprintf(stderr,
                     "bukvotok-search: %s\n%s\n"
                     "Try 'bukvotok-search --help' for more information.\n",
                     usage_error.c_str(), std::string(usage.substr(0, usage.find("\n\n"))).c_str());
        return kExitUsage;
    }
    if (options->help) return Print(bukvotok::kHeadlessUsage);
    if (options->version) return Print(std::string(bukvotok::kHeadlessVersion) + "\n");

    bukvotok::StderrLine stderr_line(::isatty(STDOUT_FILENO) != 0 && ::isatty(STDERR_FILENO) != 0);
    try {
        return RunHeadless(*options, stderr_line);
    } catch (const bukvotok::Error& error) {
        Complain(stderr_line, bukvotok::WithFullStop(error.what()));
        return kExitError;
    }
}
