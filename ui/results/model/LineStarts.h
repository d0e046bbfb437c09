// Where the lines of the results text start: ascending offsets, some tens of millions of them
// for a full box.  Kept in chunks of up to line_chunk_lines, each its starts counted from a base of
// its own, so that an edit shifts every line after it by changing one base a chunk, and a range
// of lines moves out of the table, or into another, as whole chunks with one cut at each end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "GrowingArray.h"

namespace bukvotok {

// The most lines a chunk takes.  Tests make it small to see lines move across chunks.
inline std::size_t line_chunk_lines = 1 << 14;

class LineStarts {
public:
    std::size_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // REQUIRES: line < Count().
    std::size_t Start(std::size_t line) const {
        const Chunk& chunk = chunks_[ChunkOfLine(line)];
        return static_cast<std::size_t>(chunk.base + chunk.starts[line - chunk.first_line]);
    }
    // The last line that starts at or before `offset`.  REQUIRES: Start(0) <= offset.
    std::size_t LineOf(std::size_t offset) const;
    // The first line that starts at or after `offset`, or Count().
    std::size_t LowerBound(std::size_t offset) const;

    // Adds a start after the last one.  All or nothing.
    void PushBack(std::size_t start);
    // Keeps the first `count` lines.
    void Truncate(std::size_t count) noexcept;
    void Clear() noexcept;

    std::size_t MemoryBytes() const;

    // A run of lines for a table being assembled: the lines [from, to) of `table`, moved by
    // `shift`, or, with no table, the starts [from, to) of the assembly's fresh starts.
    struct Run {
        LineStarts* table = nullptr;
        std::size_t from = 0;
        std::size_t to = 0;
        std::int64_t shift = 0;
    };
    struct Target {
        LineStarts* table;
        std::vector<Run> runs;
    };

    // New tables made of runs of old ones, all at once: the constructor allocates everything
    // and changes no start (tables may be cut into more chunks), and Commit, which cannot fail,
    // moves the chunks.  A table that runs are taken from loses them; one that is no target
    // is left empty.  REQUIRES: no two runs share a line.
    class Assembly {
    public:
        Assembly(std::vector<Target> targets, std::vector<std::size_t> fresh);
        void Commit() noexcept;

    private:
        struct Piece {
            LineStarts* table;  // null: the next of fresh_chunks_
            std::size_t first_chunk;
            std::size_t end_chunk;
            std::int64_t shift;
        };
        std::vector<Target> targets_;
        std::vector<std::vector<Piece>> pieces_;
        std::vector<LineStarts> made_;  // one for each target, its chunks reserved
        std::vector<LineStarts> fresh_chunks_;
        std::vector<LineStarts*> sources_;
        std::vector<std::pair<std::size_t, std::size_t>> seams_;  // target, chunk
    };

private:
    struct Chunk {
        std::int64_t base = 0;
        GrowingArray<std::uint32_t> starts;  // from base, ascending, never empty
        std::size_t first_line = 0;
    };

    std::size_t ChunkOfLine(std::size_t line) const;
    // The chunk whose first line is `line`, or chunks_.size() for Count().  REQUIRES: one is.
    std::size_t ChunkStartingAt(std::size_t line) const {
        return line == count_ ? chunks_.size() : ChunkOfLine(line);
    }
    std::size_t FirstStart(std::size_t chunk) const {
        return static_cast<std::size_t>(chunks_[chunk].base + chunks_[chunk].starts[0]);
    }
    // Makes `line` the first of a chunk, changing no start.
    void CutAt(std::size_t line);
    void Renumber() noexcept;
    // Joins the chunk with a small neighbour, if memory allows; changes no start.
    void MergeAround(std::size_t chunk) noexcept;

    std::vector<Chunk> chunks_;
    std::size_t count_ = 0;
};

}  // namespace bukvotok
