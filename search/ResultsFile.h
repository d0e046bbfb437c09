// The results file: the results text's bytes exactly, nothing added.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace bukvotok {

// Creates the file, or truncates an existing one without asking, and writes the text in one
// piece.  Raises FileCreateError when the file cannot be created (nothing is written) and
// StreamWriteError when the system takes fewer bytes than given (the file keeps what was
// written).  The file is closed on every path.
void SaveResultsFile(const std::string& path, std::string_view text);
// The same for a text kept in pieces: the file holds them one after the other.
void SaveResultsFile(const std::string& path, std::span<const std::string_view> pieces);

}  // namespace bukvotok
