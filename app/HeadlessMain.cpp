// bukvotok-search: the window's search without the window, for batch use and for measuring.
#include "HeadlessMain.h"

#include <cinttypes>
#include <cstdio>
#include <string>
#include <string_view>

#include "CommandLine.h"
#include "DictionaryFile.h"
#include "DictionaryList.h"
#include "Errors.h"
#include "HeadlessHost.h"
#include "LetterGenerator.h"
#include "ListHint.h"
#include "MatchSearch.h"
#include "ResultsOutput.h"
#include "StandardStreams.h"
#include "StderrLine.h"
#include "StopSignal.h"
#include "SystemErrorText.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// Every message names the program, as a command in a pipeline must.
void Complain(bukvotok::StderrLine& stderr_line, const std::string& message) {
    stderr_line.StartLine();
    bukvotok::WriteText(bukvotok::StandardError(), "bukvotok-search: " + message + "\n");
}

void PrintFigures(const bukvotok::SearchFigures& figures) {
    const double rate =
        figures.seconds > 0 ? static_cast<double>(figures.letters) / figures.seconds : 0.0;
    char line[256];
    std::snprintf(line, sizeof line,
                  "%" PRIu64 " passes, %" PRIu64 " letters, %" PRIu64
                  " matches, %.3f s, %.0f letters/s\n",
                  figures.passes, figures.letters, figures.matches, figures.seconds, rate);
    bukvotok::WriteText(bukvotok::StandardError(), line);
}

// A failed write to standard output, as a message.
std::string StandardOutputFailure(int error_code) {
    return "standard output: " + bukvotok::MessageText(bukvotok::SystemErrorText(error_code));
}

// Unlike the window, the command reads a pipe or a terminal to its end.
std::string ReadDictionary(const bukvotok::NativePath& name) {
    if (bukvotok::IsStandardInput(name)) return bukvotok::ReadToEnd(bukvotok::StandardInput());
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
    bukvotok::ResultsOutput output(bukvotok::StandardOutput(), &stderr_line, options.utf8);
    bukvotok::HeadlessHost host(options, output, stderr_line,
                                bukvotok::CanRedrawLine(bukvotok::StandardError()));
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
        Complain(stderr_line, StandardOutputFailure(output.WriteError()));
        return kExitError;
    }
    // A list on which no word can ever be found is an error even when the passes ran as asked;
    // one whose words were not come upon in so few passes is not.
    if (host.Figures().matches == 0) explain(why);
    return why ? kExitError : 0;
}

// For --help and --version.
int Print(const std::string& text) {
    const int error = bukvotok::WriteText(bukvotok::StandardOutput(), text);
    if (error == 0) return 0;
    bukvotok::WriteText(bukvotok::StandardError(),
                        "bukvotok-search: " + StandardOutputFailure(error) + "\n");
    return kExitError;
}

}  // namespace

int bukvotok::HeadlessMain(const std::vector<NativePath>& arguments) {
    std::string usage_error;
    const auto options = ParseCommandLine(arguments, usage_error);
    if (!options) {
        // The synopsis, every line of it up to the blank line that ends it.
        const std::string_view usage = kHeadlessUsage;
        WriteText(StandardError(), "bukvotok-search: " + usage_error + "\n" +
                                       std::string(usage.substr(0, usage.find("\n\n"))) +
                                       "\nTry 'bukvotok-search --help' for more information.\n");
        return kExitUsage;
    }
    if (options->help) return Print(kHeadlessUsage);
    if (options->version) return Print(std::string(kHeadlessVersion) + "\n");

    StderrLine stderr_line(IsTerminal(StandardOutput()) && IsTerminal(StandardError()));
    try {
        return RunHeadless(*options, stderr_line);
    } catch (const Error& error) {
        Complain(stderr_line, MessageText(WithFullStop(error.what())));
        return kExitError;
    }
}
