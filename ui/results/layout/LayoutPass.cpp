#include "LayoutPass.h"

namespace bukvotok {

KnownLines::Run LayOutStretch(const BlockBytes& text, const LineLayout& layout,
                              const KnownLines::Work& work, std::size_t spacing, std::size_t budget,
                              const std::atomic<bool>* stop, std::size_t& lines) {
    using End = KnownLines::Run::End;
    KnownLines::Run run;
    run.from = work.from;
    std::size_t start = work.from;
    std::size_t last_mark = work.from;
    std::size_t candidate = 0;
    for (;;) {
        const std::size_t next = layout.NextLineStart(text, start);
        ++lines;
        if (next == LineLayout::kNoLine) {
            run.end = End::kEnd;
            run.to = text.size();
            return run;
        }
        while (candidate < work.candidates.size() && work.candidates[candidate] < next) {
            ++candidate;  // not a line start after all: the edit moved the lines there
        }
        // A verified mark is a line start, so laying out meets it; past it would be a fault,
        // and stopping there keeps the lines after it as they were.
        if ((work.to != KnownLines::kToTheEnd && next >= work.to) ||
            (candidate < work.candidates.size() && work.candidates[candidate] == next)) {
            run.end = End::kMet;
            run.to = next < work.to ? next : work.to;
            return run;
        }
        if (start >= last_mark + spacing) {
            // Only a start with a line after it: appends cannot move it.
            run.starts.push_back(start);
            last_mark = start;
            if (start - work.from >= budget ||
                (stop != nullptr && stop->load(std::memory_order_relaxed))) {
                run.end = End::kStopped;
                run.to = start;
                return run;
            }
        }
        start = next;
    }
}

}  // namespace bukvotok
