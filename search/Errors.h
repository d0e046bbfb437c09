// The failures a command can raise.  Each kind is its own type so that callers and tests can
// tell them apart; the program itself treats them alike and shows only the message.
//
// Messages are bytes.  The fixed parts are ASCII; a path inside a message keeps the bytes the
// file system gave it, so that a name shows as the user typed it (on Windows, its characters in
// Windows-1251, like every text of the program).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "NativePath.h"

namespace bukvotok {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Cannot open file "<full path>". <reason>"
class FileOpenError : public Error {
public:
    FileOpenError(const NativePath& path, int error_code);
};

// "Cannot create file "<full path>". <reason>"
class FileCreateError : public Error {
public:
    FileCreateError(const NativePath& path, int error_code);
};

class StreamWriteError : public Error {
public:
    StreamWriteError() : Error("Stream write error") {}
};

// "List index out of bounds (<index>)"
class ListIndexError : public Error {
public:
    explicit ListIndexError(long long index);
};

// The store cannot take another entry: the count limit, an entry too long to index, or memory.
class ListInsertError : public Error {
public:
    ListInsertError() : Error("Unable to insert a line") {}
};

class ClipboardError : public Error {
public:
    ClipboardError() : Error("Cannot open clipboard") {}
};

// A dictionary file larger than the memory that can be had for reading it.
class OutOfMemoryError : public Error {
public:
    OutOfMemoryError() : Error("Out of memory") {}
};

// A dictionary larger than DictionarySizeLimit(): "Dictionary too large: more than <limit>, the
// most that can be loaded on this computer", the limit in MB (10^6 bytes) or, below 1 MB, in
// bytes.
class DictionaryTooLargeError : public Error {
public:
    explicit DictionaryTooLargeError(std::size_t limit);
};

// The message as the error box shows it: a full stop is added when the last byte is above '.'
// as an unsigned value (a letter or a digit, not ")" or "!").
std::string WithFullStop(std::string message);

}  // namespace bukvotok
