#include "LineStarts.h"

#include <algorithm>
#include <span>

namespace bukvotok {

std::size_t LineStarts::ChunkOfLine(std::size_t line) const {
    const auto after = std::upper_bound(
        chunks_.begin(), chunks_.end(), line,
        [](std::size_t wanted, const Chunk& chunk) { return wanted < chunk.first_line; });
    return static_cast<std::size_t>(after - chunks_.begin()) - 1;
}

std::size_t LineStarts::LineOf(std::size_t offset) const {
    const auto after = std::upper_bound(
        chunks_.begin(), chunks_.end(), offset, [](std::size_t wanted, const Chunk& chunk) {
            return wanted < static_cast<std::size_t>(chunk.base + chunk.starts[0]);
        });
    const Chunk& chunk = *(after - 1);
    const auto from_base =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(offset) - chunk.base);
    const auto in =
        std::upper_bound(chunk.starts.begin(), chunk.starts.end(), from_base,
                         [](std::uint64_t wanted, std::uint32_t start) { return wanted < start; });
    return chunk.first_line + static_cast<std::size_t>(in - chunk.starts.begin()) - 1;
}

std::size_t LineStarts::LowerBound(std::size_t offset) const {
    if (count_ == 0 || offset <= Start(0)) return 0;
    const std::size_t line = LineOf(offset);
    return Start(line) == offset ? line : line + 1;
}

void LineStarts::PushBack(std::size_t start) {
    if (chunks_.empty() || chunks_.back().starts.size() >= line_chunk_lines) {
        Chunk chunk;
        chunk.base = static_cast<std::int64_t>(start);
        chunk.starts.push_back(0);
        chunk.first_line = count_;
        chunks_.push_back(std::move(chunk));
    } else {
        Chunk& last = chunks_.back();
        last.starts.push_back(
            static_cast<std::uint32_t>(static_cast<std::int64_t>(start) - last.base));
    }
    ++count_;
}

void LineStarts::Truncate(std::size_t count) noexcept {
    if (count >= count_) return;
    if (count == 0) return Clear();
    const std::size_t chunk = ChunkOfLine(count - 1);
    chunks_[chunk].starts.Resize(count - chunks_[chunk].first_line);
    chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(chunk) + 1, chunks_.end());
    count_ = count;
}

void LineStarts::Clear() noexcept {
    chunks_.clear();
    count_ = 0;
}

std::size_t LineStarts::MemoryBytes() const {
    std::size_t bytes = chunks_.capacity() * sizeof(Chunk);
    for (const Chunk& chunk : chunks_) bytes += chunk.starts.capacity() * sizeof(std::uint32_t);
    return bytes;
}

void LineStarts::CutAt(std::size_t line) {
    if (line == 0 || line >= count_) return;
    const std::size_t chunk = ChunkOfLine(line);
    const std::size_t at = line - chunks_[chunk].first_line;
    if (at == 0) return;
    Chunk tail;
    tail.base = chunks_[chunk].base;
    const GrowingArray<std::uint32_t>& starts = chunks_[chunk].starts;
    tail.starts.Append(std::span<const std::uint32_t>(starts.data() + at, starts.size() - at));
    tail.first_line = line;
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(chunk) + 1, std::move(tail));
    chunks_[chunk].starts.Resize(at);  // smaller: nothing allocates
}

void LineStarts::Renumber() noexcept {
    std::size_t line = 0;
    for (Chunk& chunk : chunks_) {
        chunk.first_line = line;
        line += chunk.starts.size();
    }
    count_ = line;
}

void LineStarts::MergeAround(std::size_t chunk) noexcept {
    for (const std::size_t left : {chunk, chunk > 0 ? chunk - 1 : chunk}) {
        if (left + 1 >= chunks_.size()) continue;
        Chunk& a = chunks_[left];
        const Chunk& b = chunks_[left + 1];
        if (a.starts.size() + b.starts.size() > line_chunk_lines) continue;
        const std::size_t kept = a.starts.size();
        try {
            a.starts.Resize(kept + b.starts.size());
        } catch (const std::bad_alloc&) {
            continue;  // the starts stay as they are, in two chunks
        }
        const std::int64_t rebase = b.base - a.base;
        for (std::size_t i = 0; i < b.starts.size(); ++i) {
            a.starts[kept + i] = static_cast<std::uint32_t>(rebase + b.starts[i]);
        }
        chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(left) + 1);
        Renumber();
        return;
    }
}

LineStarts::Assembly::Assembly(std::vector<Target> targets, std::vector<std::size_t> fresh)
    : targets_(std::move(targets)) {
    // Cut every table at the ends of its runs first: this changes no start.
    for (const Target& target : targets_) {
        for (const Run& run : target.runs) {
            if (run.table == nullptr || run.from == run.to) continue;
            run.table->chunks_.reserve(run.table->chunks_.size() + 2);
            run.table->CutAt(run.from);
            run.table->CutAt(run.to);
            if (std::find(sources_.begin(), sources_.end(), run.table) == sources_.end()) {
                sources_.push_back(run.table);
            }
        }
    }
    pieces_.resize(targets_.size());
    made_.resize(targets_.size());
    for (std::size_t t = 0; t < targets_.size(); ++t) {
        std::size_t chunks = 0;
        for (const Run& run : targets_[t].runs) {
            if (run.from == run.to) continue;
            if (run.table == nullptr) {
                LineStarts made;
                made.chunks_.reserve((run.to - run.from + line_chunk_lines - 1) / line_chunk_lines);
                for (std::size_t i = run.from; i < run.to; ++i) made.PushBack(fresh[i]);
                chunks += made.chunks_.size();
                pieces_[t].push_back({nullptr, 0, made.chunks_.size(), run.shift});
                fresh_chunks_.push_back(std::move(made));
            } else {
                const std::size_t first = run.table->ChunkStartingAt(run.from);
                const std::size_t end = run.table->ChunkStartingAt(run.to);
                chunks += end - first;
                pieces_[t].push_back({run.table, first, end, run.shift});
            }
        }
        made_[t].chunks_.reserve(chunks);
        // Where runs meet, small chunks are joined once they are in place.
        std::size_t at = 0;
        for (const Piece& piece : pieces_[t]) {
            if (at > 0 && piece.end_chunk > piece.first_chunk) seams_.push_back({t, at});
            at += piece.end_chunk - piece.first_chunk;
        }
    }
}

void LineStarts::Assembly::Commit() noexcept {
    std::size_t next_fresh = 0;
    for (std::size_t t = 0; t < targets_.size(); ++t) {
        std::vector<Chunk>& chunks = made_[t].chunks_;
        for (const Piece& piece : pieces_[t]) {
            std::vector<Chunk>& from =
                piece.table != nullptr ? piece.table->chunks_ : fresh_chunks_[next_fresh++].chunks_;
            for (std::size_t c = piece.first_chunk; c < piece.end_chunk; ++c) {
                from[c].base += piece.shift;
                chunks.push_back(std::move(from[c]));
            }
        }
    }
    for (LineStarts* source : sources_) source->Clear();
    for (std::size_t t = 0; t < targets_.size(); ++t) {
        LineStarts& table = *targets_[t].table;
        table.chunks_ = std::move(made_[t].chunks_);
        table.Renumber();
    }
    // From the last seam back, so that a join leaves the places of the others as they were.
    for (auto seam = seams_.rbegin(); seam != seams_.rend(); ++seam) {
        targets_[seam->first].table->MergeAround(seam->second);
    }
}

}  // namespace bukvotok
