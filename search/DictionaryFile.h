// Reading a dictionary file from disk.
#pragma once

#include <cstddef>
#include <string>

namespace bukvotok {

// The file's bytes from its start up to the size it had when reading began.  When fewer bytes
// arrive (the file shrank, a device error), what was read is returned and the rest is taken as
// absent.  Raises FileOpenError when the file cannot be opened or is a directory, and
// OutOfMemoryError when its size cannot be allocated.
std::string ReadDictionaryFile(const std::string& path);

// Reads until `size` bytes have arrived, the end of the data, or an error; what did not arrive
// is absent from the result.
std::string ReadUpTo(int fd, std::size_t size);

}  // namespace bukvotok
