// Reading a dictionary file from disk.
//
// Nothing after a file's first NUL byte is ever an entry, so reading stops at it: the text
// returned ends with that NUL, or at the end of the data.  A device of endless zeros, or a
// large file of them, costs no memory.
//
// The text may hold at most DictionarySizeLimit() bytes before its NUL.  Loading takes about
// four times a list's size (its bytes, their split into entries, the index), so the limit is an
// eighth of the computer's memory, or of the address space of a 32-bit program, whichever is
// smaller: a list at the limit takes half of it, and an endless pipe is refused long before the
// machine has to swap.  Lists of real words are a thousand times
// smaller.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "FileIdentity.h"
#include "NativePath.h"
#include "SystemFile.h"

namespace bukvotok {

// What is read from a file that is not a regular file (a pipe, a terminal, a device), which has
// no size: the window reads nothing from it, so that a pipe without a writer cannot hang it; the
// headless command reads it to its end, as command-line programs do.
enum class Streams { kReadNothing, kReadToEnd };

std::size_t DictionarySizeLimit();

// For tests of the refusal; 0 gives back the computer's own limit.
void SetDictionarySizeLimit(std::size_t bytes);

// The file's bytes from its start up to the size it had when reading began.  When fewer bytes
// arrive (the file shrank, a device error), what was read is returned and the rest is taken as
// absent.  Raises FileOpenError when the file cannot be opened or is a directory,
// DictionaryTooLargeError when its text goes on past the limit before any NUL, and
// OutOfMemoryError when its size cannot be allocated.  `opened`, when given, receives the
// identity of the file once it is open, before any of these but FileOpenError.
std::string ReadDictionaryFile(const NativePath& path, Streams streams = Streams::kReadNothing,
                               std::optional<FileIdentity>* opened = nullptr);

// Reads until `size` bytes have arrived, a NUL byte, the end of the data, or an error; what did
// not arrive is absent from the result.  REQUIRES: size <= DictionarySizeLimit()
std::string ReadUpTo(NativeFile file, std::size_t size);

// Reads until a NUL byte, the end of the data, or an error.  Raises DictionaryTooLargeError
// once more than the limit has arrived, and OutOfMemoryError.
std::string ReadToEnd(NativeFile file);

}  // namespace bukvotok
