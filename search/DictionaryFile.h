// Reading a dictionary file from disk.
#pragma once

#include <cstddef>
#include <string>

namespace bukvotok {

// What is read from a file that is not a regular file (a pipe, a terminal, a device), which has
// no size: the window reads nothing from it, so that a pipe without a writer cannot hang it; the
// headless command reads it to its end, as command-line programs do.
enum class Streams { kReadNothing, kReadToEnd };

// The file's bytes from its start up to the size it had when reading began.  When fewer bytes
// arrive (the file shrank, a device error), what was read is returned and the rest is taken as
// absent.  Raises FileOpenError when the file cannot be opened or is a directory, and
// OutOfMemoryError when its size cannot be allocated.
std::string ReadDictionaryFile(const std::string& path, Streams streams = Streams::kReadNothing);

// Reads until `size` bytes have arrived, the end of the data, or an error; what did not arrive
// is absent from the result.
std::string ReadUpTo(int fd, std::size_t size);

// Reads until the end of the data, an error, or a NUL byte, after which no entry is ever taken
// (so a device of endless zeros ends at once).  Raises OutOfMemoryError.
std::string ReadToEnd(int fd);

}  // namespace bukvotok
