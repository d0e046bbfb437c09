// The headless command's search, as the benches time it: its own host, the words written to
// `output_fd` (/dev/null), no progress line.
#pragma once

#include <cstdint>

#include "DictionaryList.h"
#include "HeadlessHost.h"
#include "MatchSearch.h"
#include "ResultsOutput.h"
#include "StderrLine.h"

namespace bukvotok {

inline SearchFigures RunHeadlessSearch(const DictionaryList& dictionary, std::uint64_t passes,
                                       int output_fd) {
    HeadlessOptions options;
    options.max_passes = passes;
    ResultsOutput output(output_fd);
    StderrLine stderr_line(false);
    HeadlessHost host(options, output, stderr_line, false);
    RunSearch(host, dictionary);
    output.Flush();
    return host.Figures();
}

}  // namespace bukvotok
