// The text as an edit would leave it, read before the edit is made: up to four parts, each a
// range of the text or of bytes to be put in.  An edit lays out its new lines from this, so that
// nothing changes until everything it needs is there.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "BlockBytes.h"

namespace bukvotok {

class SplicedBytes {
public:
    struct Part {
        const BlockBytes* bytes = nullptr;
        std::size_t from = 0;  // in `bytes`
        std::size_t to = 0;
        std::size_t at = 0;  // in the spliced text
    };

    // Empty parts are left out.  REQUIRES: at most four parts.
    void Add(const BlockBytes& bytes, std::size_t from, std::size_t to) {
        if (from == to) return;
        parts_[count_++] = {&bytes, from, to, size_};
        size_ += to - from;
    }

    std::size_t size() const { return size_; }
    std::size_t PartCount() const { return count_; }
    const Part& PartAt(std::size_t i) const { return parts_[i]; }
    // The part that holds `offset`.  REQUIRES: offset < size().
    std::size_t PartOf(std::size_t offset) const {
        std::size_t i = 0;
        while (i + 1 < count_ && parts_[i + 1].at <= offset) ++i;
        return i;
    }

    template <typename Visit>
    void ForEachPiece(std::size_t from, std::size_t to, Visit&& visit) const {
        bool going = true;
        for (std::size_t i = 0; i < count_ && going && from < to; ++i) {
            const Part& part = parts_[i];
            const std::size_t end = part.at + (part.to - part.from);
            if (end <= from) continue;
            const std::size_t stop = std::min(to, end);
            part.bytes->ForEachPiece(part.from + (from - part.at), part.from + (stop - part.at),
                                     [&](std::string_view piece, std::size_t offset) {
                                         going = visit(piece, offset - part.from + part.at);
                                         return going;
                                     });
            from = stop;
        }
    }

private:
    std::array<Part, 4> parts_{};
    std::size_t count_ = 0;
    std::size_t size_ = 0;
};

}  // namespace bukvotok
