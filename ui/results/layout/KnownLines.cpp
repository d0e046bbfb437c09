#include "KnownLines.h"

#include <algorithm>

namespace bukvotok {

namespace {

constexpr std::size_t kNoParagraph = static_cast<std::size_t>(-1);

// The first mark at or after `offset`, or the end.
std::size_t FirstFrom(const std::vector<KnownLines::Mark>& marks, std::size_t offset) {
    const auto found = std::lower_bound(
        marks.begin(), marks.end(), offset,
        [](const KnownLines::Mark& mark, std::size_t o) { return mark.offset < o; });
    return static_cast<std::size_t>(found - marks.begin());
}

}  // namespace

KnownLines::KnownLines() {
    marks_.reserve(16);
    Reset();
}

void KnownLines::Reset() noexcept {
    marks_.clear();  // keeps the room for the first mark
    marks_.push_back({0, true, false});
    settled_ = 0;
    laid_out_to_end_ = 0;
}

std::size_t KnownLines::MarkBefore(std::size_t offset) const {
    const auto after =
        std::upper_bound(marks_.begin(), marks_.end(), offset,
                         [](std::size_t o, const Mark& mark) { return o < mark.offset; });
    return static_cast<std::size_t>(after - marks_.begin()) - 1;
}

void KnownLines::Edited(const BlockBytes& text, std::size_t at, std::size_t removed,
                        std::size_t inserted) noexcept {
    std::vector<Mark>& marks = marks_;
    const std::size_t old_to = at + removed;
    // The last mark's stretch is laid out only as far as the text went then.
    const std::size_t last = marks.back().offset;
    // A paragraph start is a line start whatever comes before it.
    const std::size_t paragraph = text.ParagraphStart(at);
    const std::size_t found = text.FindBreakFrom(at + inserted);
    std::size_t next_paragraph = found == BlockBytes::kNotFound ? kNoParagraph : found + 2;
    if (next_paragraph >= text.size()) next_paragraph = kNoParagraph;
    const std::size_t next_paragraph_before =
        next_paragraph == kNoParagraph ? kNoParagraph : next_paragraph - inserted + removed;
    // Where the next paragraph started, its lines were laid out if its stretch was.
    bool next_laid_out = false;
    if (next_paragraph != kNoParagraph) {
        const Mark& before = marks[MarkBefore(next_paragraph_before)];
        next_laid_out = before.verified && before.laid_out;
    }

    // The marks before the edit stay, less the last one in its paragraph: its line start may
    // depend on the bytes of the edit.  The one before that, or the paragraph's start, is where
    // laying out begins again.
    const std::size_t after_paragraph = MarkBefore(paragraph) + 1;
    const std::size_t at_edit = std::max(after_paragraph, FirstFrom(marks, at));
    const std::size_t after_edit = std::max(at_edit, FirstFrom(marks, old_to));
    const bool restart_at_a_mark =
        at_edit >= after_paragraph + 2 || marks[after_paragraph - 1].offset == paragraph;
    const std::size_t kept = at_edit >= after_paragraph + 2 ? at_edit - 1 : after_paragraph;

    // After the edit: shifted, and, in its paragraph, no longer known to be line starts.
    for (std::size_t i = after_edit; i < marks.size(); ++i) {
        if (next_paragraph_before == kNoParagraph || marks[i].offset < next_paragraph_before) {
            marks[i].verified = false;
        }
        marks[i].offset = marks[i].offset - removed + inserted;
    }
    marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(kept),
                marks.begin() + static_cast<std::ptrdiff_t>(after_edit));
    // A deletion at the paragraph's start brings the mark after it to where laying out begins.
    const std::size_t restart = restart_at_a_mark ? marks[kept - 1].offset : paragraph;
    if (kept < marks.size() && marks[kept].offset == restart) {
        marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(kept));
    }
    if (restart_at_a_mark) {
        marks[kept - 1].laid_out = false;
    } else {
        marks.insert(marks.begin() + static_cast<std::ptrdiff_t>(kept), {paragraph, true, false});
    }
    if (next_paragraph != kNoParagraph) {
        const std::size_t at_next = FirstFrom(marks, next_paragraph);
        if (at_next < marks.size() && marks[at_next].offset == next_paragraph) {
            Verify(at_next);
        } else {
            marks.insert(marks.begin() + static_cast<std::ptrdiff_t>(at_next),
                         {next_paragraph, false, next_laid_out});
            Verify(at_next);
        }
    }
    // Marks put after the last one end its stretch: what was appended to it since it was laid
    // out is laid out from it now, as a stretch it may be walked through.
    const std::size_t was_last = MarkBefore(last);
    if (at > last && was_last + 1 < marks.size() && marks[was_last + 1].offset > laid_out_to_end_) {
        marks[was_last].laid_out = false;
        settled_ = std::min(settled_, was_last);
    }
    settled_ = std::min(settled_, kept - 1);
    laid_out_to_end_ = std::min(laid_out_to_end_, at);
}

std::optional<KnownLines::Work> KnownLines::NextWork(std::size_t size, std::size_t spacing) const {
    const std::size_t count = marks_.size();
    for (std::size_t i = settled_; i < count; ++i) {
        const Mark& mark = marks_[i];
        if (mark.verified && mark.laid_out) {
            if (i + 1 == count && size - mark.offset > 2 * spacing &&
                size - laid_out_to_end_ > spacing) {
                return Work{mark.offset, kToTheEnd, {}};
            }
            if (i == settled_) ++settled_;
            continue;
        }
        if (!mark.verified) continue;
        Work work{mark.offset, kToTheEnd, {}};
        std::size_t next = i + 1;
        for (; next < count && !marks_[next].verified; ++next) {
            work.candidates.push_back(marks_[next].offset);
        }
        work.to = next < count ? marks_[next].offset : kToTheEnd;
        return work;
    }
    if (settled_ == count) settled_ = count - 1;  // the last mark's stretch grows with appends
    return std::nullopt;
}

bool KnownLines::Merge(const Run& run) {
    std::vector<Mark>& marks = marks_;
    const std::size_t from = MarkBefore(run.from);
    if (marks[from].offset != run.from || !marks[from].verified) return false;
    std::size_t starts = run.starts.size();
    std::size_t end = marks.size();
    bool met = false;
    if (run.end != Run::End::kEnd) {
        end = FirstFrom(marks, run.to);
        met = end < marks.size() && marks[end].offset == run.to;
        if (run.end == Run::End::kMet && !met) return false;
        // Stopped where a mark already is: it is met all the same.
        if (met && run.end == Run::End::kStopped) --starts;
    }
    std::vector<Mark> added(starts);
    for (std::size_t i = 0; i < starts; ++i) added[i] = {run.starts[i], true, true};
    const std::size_t count = marks.size() - (end - from - 1) + starts;
    if (count > marks.capacity()) marks.reserve(count + count / 2);
    // From here nothing allocates.
    marks[from].laid_out = true;
    marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(from) + 1,
                marks.begin() + static_cast<std::ptrdiff_t>(end));
    marks.insert(marks.begin() + static_cast<std::ptrdiff_t>(from) + 1, added.begin(), added.end());
    if (run.end == Run::End::kEnd) laid_out_to_end_ = run.to;
    const std::size_t last = from + starts;
    if (!met) {
        if (run.end == Run::End::kStopped) marks[last].laid_out = false;
        return true;
    }
    // What was known after the mark met holds again.  When all before the run was settled, so
    // is all it led to: else the next NextWork after an edit walks every mark after it again.
    const std::size_t reached = Verify(last + 1);
    if (settled_ >= from) settled_ = reached;
    return true;
}

std::size_t KnownLines::Verify(std::size_t index) noexcept {
    marks_[index].verified = true;
    // Laying out from a line start reaches the next mark: that is one too.
    for (; index + 1 < marks_.size() && marks_[index].laid_out; ++index) {
        marks_[index + 1].verified = true;
    }
    return index;
}

}  // namespace bukvotok
