#include "CommandLine.h"

#include <charconv>

namespace bukvotok {

const char* const kHeadlessUsage =
    "usage: bukvotok-search [--passes N] [--matches M] [--utf8] [--stats] DICTIONARY\n"
    "\n"
    "Searches DICTIONARY (one word per line, Windows-1251) for words by random walks and\n"
    "writes each word found to standard output after a space, as the window's results box\n"
    "would hold them.  Runs until Ctrl+C or SIGTERM, or until a limit is reached.\n"
    "\n"
    "  --passes N   stop after the pass in which N passes have run (N >= 1)\n"
    "  --matches M  stop after the pass in which the M-th word was found (M >= 1)\n"
    "  --utf8       write the words as UTF-8 instead of Windows-1251\n"
    "  --stats      at the end, one line of figures on standard error\n";

namespace {

bool ParseCount(const std::string& text, std::uint64_t& value) {
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && value >= 1;
}

}  // namespace

std::optional<HeadlessOptions> ParseCommandLine(const std::vector<std::string>& arguments,
                                                std::string& error) {
    HeadlessOptions options;
    bool have_dictionary = false;
    bool options_ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!options_ended && (argument == "--passes" || argument == "--matches")) {
            std::uint64_t& limit =
                argument == "--passes" ? options.max_passes : options.max_matches;
            if (i + 1 == arguments.size() || !ParseCount(arguments[i + 1], limit)) {
                error = argument + " needs a whole number of 1 or more";
                return std::nullopt;
            }
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
            options.dictionary = argument;
            have_dictionary = true;
        }
    }
    if (!have_dictionary) {
        error = "no dictionary given";
        return std::nullopt;
    }
    return options;
}

}  // namespace bukvotok
