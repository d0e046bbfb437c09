// bukvotok-search: the window's search without the window, for batch use and for measuring.
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DictionaryList.h"
#include "Errors.h"
#include "HeadlessHost.h"
#include "LetterGenerator.h"
#include "MatchSearch.h"
#include "ResultsOutput.h"
#include "StopSignal.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

void PrintFigures(const bukvotok::SearchFigures& figures) {
    const double rate =
        figures.seconds > 0 ? static_cast<double>(figures.letters) / figures.seconds : 0.0;
    std::fprintf(stderr,
                 "%" PRIu64 " passes, %" PRIu64 " letters, %" PRIu64
                 " matches, %.3f s, %.0f letters/s\n",
                 figures.passes, figures.letters, figures.matches, figures.seconds, rate);
}

int RunHeadless(const bukvotok::HeadlessOptions& options) {
    bukvotok::DictionaryList dictionary;
    dictionary.LoadDictionary(options.dictionary);
    // Without a walk there is no word to find and no step that could notice the stop box:
    // only a pass limit can end such a search.
    if (options.max_passes == 0 && !dictionary.CanStartWalk()) {
        std::fprintf(stderr,
                     "bukvotok-search: no entry begins with a small letter from а to ю "
                     "(Windows-1251), so no word can ever be found\n");
        return kExitError;
    }

    bukvotok::InstallStopSignals();
    bukvotok::ResultsOutput output(STDOUT_FILENO);
    bukvotok::HeadlessHost host(options, output, ::isatty(STDERR_FILENO) != 0);
    bukvotok::SetRandomState(0);
    try {
        bukvotok::RunSearch(host, dictionary);
    } catch (...) {
        output.Flush();
        host.EndProgressLine();
        throw;
    }
    output.Flush();
    host.EndProgressLine();
    if (options.stats) PrintFigures(host.Figures());
    if (output.WriteError() != 0) {
        std::perror("bukvotok-search: standard output");
        return kExitError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string usage_error;
    const auto options = bukvotok::ParseCommandLine(arguments, usage_error);
    if (!options) {
        std::fprintf(stderr, "bukvotok-search: %s\n%s", usage_error.c_str(),
                     bukvotok::kHeadlessUsage);
        return kExitUsage;
    }
    try {
        return RunHeadless(*options);
    } catch (const bukvotok::Error& error) {
        std::fprintf(stderr, "%s\n", bukvotok::WithFullStop(error.what()).c_str());
        return kExitError;
    }
}
