// GNU's memrchr, which the C library of mingw-w64 lacks: the last `byte` among the first `size`
// bytes at `bytes`, or nullptr.  Given to the files that call it by the build (-include), so that
// they stay as they are on Linux.
#pragma once

#include <cstddef>

inline void* memrchr(const void* bytes, int byte, std::size_t size) {
    const auto* const start = static_cast<const unsigned char*>(bytes);
    const auto wanted = static_cast<unsigned char>(byte);
    for (std::size_t i = size; i > 0; --i) {
        if (start[i - 1] == wanted) return const_cast<unsigned char*>(start + i - 1);
    }
    return nullptr;
}
