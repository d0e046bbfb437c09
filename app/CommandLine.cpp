#include "CommandLine.h"

#include <charconv>
#include <limits>

#include "StandardStreams.h"

namespace bukvotok {

const char* const kHeadlessUsage =
    "usage: bukvotok-search [--passes N] [--matches M] [--utf8] [--stats]\n"
    "                       [--] DICTIONARY\n"
    "       bukvotok-search --help | --version\n"
    "\n"
    "Searches DICTIONARY (one word per line, in Windows-1251 or UTF-8; - for standard\n"
    "input) for words by random walks and writes each word found to standard output\n"
    "after a space, as the window's results box would hold them.  Runs until Ctrl+C\n"
    "or SIGTERM, or until a limit is reached.\n"
    "\n"
    "  --passes N   stop after the pass in which N passes have run (N >= 1)\n"
    "  --matches M  stop after the pass in which the M-th word was found (M >= 1)\n"
    "  --utf8       write the words as UTF-8 instead of Windows-1251\n"
    "  --stats      at the end, one line of figures on standard error\n"
    "  --help       show this text and end\n"
    "  --version    show the version and end\n"
    "  --           end the options: what follows is the DICTIONARY even if it\n"
    "               begins with -\n"
    "\n"
    "See bukvotok-search(1).\n";

const char* const kHeadlessVersion = "bukvotok-search " BUKVOTOK_VERSION;

namespace {

// Reads the number after `option`; an empty text, or what is wrong with it.
std::string ParseCount(const std::string& option, const NativePath* argument,
                       std::uint64_t& value) {
    const std::string wrong = option + " needs a whole number of 1 or more";
    if (argument == nullptr) return wrong;
    const std::string text = ArgumentText(*argument);
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (stop == end && error == std::errc::result_out_of_range) {
        return option + ": " + text + " is too large; the largest is " +
               std::to_string(std::numeric_limits<std::uint64_t>::max());
    }
    if (error != std::errc() || stop != end || value < 1) return wrong;
    return {};
}

}  // namespace

std::optional<HeadlessOptions> ParseCommandLine(const std::vector<NativePath>& arguments,
                                                std::string& error) {
    HeadlessOptions options;
    bool have_dictionary = false;
    bool options_ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string argument = ArgumentText(arguments[i]);
        if (!options_ended && (argument == "--help" || argument == "--version")) {
            HeadlessOptions asked;
            asked.help = argument == "--help";
            asked.version = !asked.help;
            return asked;
        }
        if (!options_ended && (argument == "--passes" || argument == "--matches")) {
            std::uint64_t& limit =
                argument == "--passes" ? options.max_passes : options.max_matches;
            const NativePath* const number = i + 1 < arguments.size() ? &arguments[i + 1] : nullptr;
            error = ParseCount(argument, number, limit);
            if (!error.empty()) return std::nullopt;
            ++i;
        } else if (!options_ended && argument == "--utf8") {
            options.utf8 = true;
        } else if (!options_ended && argument == "--stats") {
            options.stats = true;
        } else if (!options_ended && argument == "--") {
            options_ended = true;
        } else if (!options_ended && argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return std::nullopt;
        } else if (have_dictionary) {
            error = "only one dictionary can be searched";
            return std::nullopt;
        } else {
            options.dictionary = arguments[i];
            have_dictionary = true;
        }
    }
    if (!have_dictionary) {
        error = "no dictionary given";
        return std::nullopt;
    }
    return options;
}

bool IsStandardInput(const NativePath& dictionary) {
    return dictionary.size() == 1 && dictionary[0] == '-';
}

}  // namespace bukvotok
