#include "ViewLines.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "LayoutPass.h"

namespace bukvotok {

namespace {

constexpr std::size_t kNoGuess = static_cast<std::size_t>(-1);
// How far after a guessed place a blank is looked for, to start the guess after it.
constexpr std::size_t kBlankSearch = 64;
// The lines kept of the last walk: enough for any screen, a few pages up and down.
constexpr std::size_t kWalkedLines = 4096;

}  // namespace

ViewLines::ViewLines(const BlockBytes& text, LayoutTuning tuning)
    : text_(text), tuning_(tuning), layout_(tuning.longest_line) {
    if (!tuning.WalksEveryStretch()) {
        throw std::invalid_argument("the walk limit is shorter than a laid-out stretch");
    }
    walked_.starts.reserve(kWalkedLines + 1);
}

ViewLines::~ViewLines() = default;

void ViewLines::SetMetrics(const TextMetrics& metrics) noexcept {
    if (metrics == layout_.Metrics()) return;
    StopBehind();
    layout_.SetMetrics(metrics);
    known_.Reset();
    ++version_;
    pending_ = true;
}

void ViewLines::Edited(std::size_t at, std::size_t removed, std::size_t inserted) noexcept {
    // What the thread lays out describes the text as it was.
    StopBehind();
    known_.Edited(text_, at, removed, inserted);
    ++version_;
    pending_ = true;
}

void ViewLines::Replaced() noexcept {
    StopBehind();
    known_.Reset();
    ++version_;
    pending_ = true;
}

std::size_t ViewLines::GuessAt(std::size_t grid) const {
    const std::size_t size = text_.size();
    if (grid == 0 || grid >= size) return grid;
    std::size_t found = kNoGuess;
    text_.ForEachPiece(grid - 1, std::min(size - 1, grid - 1 + kBlankSearch),
                       [&found](std::string_view piece, std::size_t offset) {
                           const std::size_t blank = piece.find_first_of(" \t");
                           if (blank == std::string_view::npos) return true;
                           found = offset + blank + 1;
                           return false;
                       });
    if (found != kNoGuess) return found;
    return text_.IsCaretOffset(grid) ? grid : grid + 1;
}

std::size_t ViewLines::GuessBefore(std::size_t offset, std::size_t after,
                                   std::size_t before) const {
    const std::size_t spacing = tuning_.guess_spacing;
    for (std::size_t k = offset / spacing;; --k) {
        const std::size_t grid = k * spacing;
        if (grid <= after) return kNoGuess;
        const std::size_t guess = GuessAt(grid);
        // A blank close after the place may lie past the offset, and at the text's end a place
        // may be the end itself, where no line starts: then the place before.
        if (guess <= offset && guess < before) return guess;
    }
}

std::size_t ViewLines::GuessAfter(std::size_t start, std::size_t after, std::size_t before) const {
    const std::size_t spacing = tuning_.guess_spacing;
    for (std::size_t k = std::max(start, after) / spacing;; ++k) {
        const std::size_t grid = k * spacing;
        if (grid <= after) continue;
        if (grid >= before) return kNoGuess;
        const std::size_t guess = GuessAt(grid);
        if (guess > start) return guess < before ? guess : kNoGuess;
    }
}

ViewLines::Region ViewLines::RegionOf(std::size_t offset) const {
    const std::vector<KnownLines::Mark>& marks = known_.Marks();
    const std::size_t index = known_.MarkBefore(offset);
    const KnownLines::Mark& mark = marks[index];
    const std::size_t next = index + 1 < marks.size() ? marks[index + 1].offset : text_.size();
    // Laid-out stretches are walked from their mark, up to a limit; the rest is guessed.
    const std::size_t guesses_after =
        mark.laid_out ? mark.offset + tuning_.walk_limit : mark.offset;
    Region region{mark.offset, next};
    // Between a CR and its LF, the paragraph is the one the CR ends.
    const std::size_t caret = text_.IsCaretOffset(offset) ? offset : offset - 1;
    region.start = std::max(region.start, text_.ParagraphStart(caret));
    const std::size_t guess = GuessBefore(offset, guesses_after, next);
    if (guess != kNoGuess) region.start = std::max(region.start, guess);
    const std::size_t cut = GuessAfter(region.start, guesses_after, next);
    if (cut != kNoGuess) region.cut = cut;
    return region;
}

std::size_t ViewLines::EndOfLine(std::size_t start, std::size_t cut) {
    const std::size_t size = text_.size();
    if (start >= size) return size;
    ++lines_laid_out_;
    // A line ends at most a guess's distance after the cut, but where only blanks run on.
    const std::size_t limit =
        cut >= size ? LineLayout::kNoLine : cut + std::min(size - cut, tuning_.guess_spacing);
    const std::size_t next = layout_.NextLineStart(text_, start, limit);
    if (next == LineLayout::kNoLine) return std::min(cut, size);
    if (next == LineLayout::kUndecided || next > cut) return cut;
    return next;
}

ViewLines::Line ViewLines::MakeLine(std::size_t start, std::size_t end) const {
    const bool ends_paragraph = end >= start + 2 && text_[end - 1] == '\n';
    return Line{start, end, ends_paragraph};
}

ViewLines::Line ViewLines::LineAt(std::size_t offset) {
    const std::size_t size = text_.size();
    offset = std::min(offset, size);
    Walked& walked = walked_;
    // The walk of the region that holds the offset serves, from wherever in the region it began:
    // laying out from a paragraph's start inside it gives the same lines.
    const bool fits = walked.version == version_ && !walked.starts.empty() &&
                      walked.starts.front() <= offset &&
                      (offset < walked.region.cut || walked.region.cut == size);
    if (!fits) {
        const Region region = RegionOf(offset);
        walked.version = version_;
        walked.region = region;
        walked.starts.clear();
        walked.starts.push_back(region.start);
        walked.end = EndOfLine(region.start, region.cut);
    }
    for (;;) {
        const std::size_t start = walked.starts.back();
        const std::size_t end = walked.end;
        if (offset < end) break;
        // At the text's end: the last line holds it, but for the empty one after a line break.
        if (end == size && (end == start || !MakeLine(start, end).ends_paragraph)) break;
        if (end >= walked.region.cut && end < size) break;  // another region's: cannot be
        if (walked.starts.size() > kWalkedLines) {
            walked.starts.erase(
                walked.starts.begin(),
                walked.starts.begin() + static_cast<std::ptrdiff_t>(kWalkedLines / 2));
        }
        walked.starts.push_back(end);  // within the room reserved: allocates nothing
        walked.end = EndOfLine(end, walked.region.cut);
    }
    const auto after = std::upper_bound(walked.starts.begin(), walked.starts.end(), offset);
    const std::size_t line = static_cast<std::size_t>(after - walked.starts.begin()) - 1;
    const std::size_t end = line + 1 < walked.starts.size() ? walked.starts[line + 1] : walked.end;
    return MakeLine(walked.starts[line], end);
}

std::optional<ViewLines::Line> ViewLines::LineAfter(const Line& line) {
    if (line.end >= text_.size() && !(line.ends_paragraph && line.start < line.end)) {
        return std::nullopt;
    }
    return LineAt(line.end);
}

bool ViewLines::Exact(std::size_t offset) const {
    const std::vector<KnownLines::Mark>& marks = known_.Marks();
    const std::size_t index = known_.MarkBefore(offset);
    const KnownLines::Mark& mark = marks[index];
    const std::size_t end = index + 1 < marks.size() ? marks[index + 1].offset : text_.size();
    // Past the walk limit a laid-out stretch is guessed too.
    return mark.verified && mark.laid_out && end - mark.offset <= tuning_.walk_limit;
}

void ViewLines::StartBehind() {
    const std::optional<KnownLines::Work> work = known_.NextWork(text_.size(), tuning_.spacing);
    if (!work) return;
    behind_ = std::make_unique<LayoutInBackground>(text_.Share(0, text_.size()), layout_, *work,
                                                   tuning_.spacing, tuning_.batch);
}

void ViewLines::LayOutSome() noexcept {
    if (behind_ != nullptr) return;
    try {
        const std::optional<KnownLines::Work> work = known_.NextWork(text_.size(), tuning_.spacing);
        if (!work) {
            pending_ = false;
            return;
        }
        const std::size_t to = work->to == KnownLines::kToTheEnd ? text_.size() : work->to;
        const std::size_t budget =
            to - work->from < tuning_.behind_from ? kNoGuess : tuning_.at_once;
        const KnownLines::Run run =
            LayOutStretch(text_, layout_, *work, tuning_.spacing, budget, nullptr, lines_laid_out_);
        if (known_.Merge(run)) ++version_;
        if (run.end == KnownLines::Run::End::kStopped && tuning_.behind) StartBehind();
    } catch (const std::exception&) {
        // Out of memory, or no thread to be had: the lines stay as they are, a guess where they
        // were, and the next call tries again.
    }
}

bool ViewLines::Poll() noexcept {
    if (behind_ == nullptr) return false;
    bool changed = false;
    try {
        bool done = false;
        const std::vector<KnownLines::Run> runs = behind_->Take(done);
        for (const KnownLines::Run& run : runs) {
            if (!known_.Merge(run)) {
                done = true;
                break;
            }
            changed = true;
        }
        if (done) StopBehind();
    } catch (const std::exception&) {
        StopBehind();
    }
    if (changed) {
        ++version_;
        pending_ = true;
    }
    return changed;
}

void ViewLines::Finish() {
    StopBehind();
    while (const std::optional<KnownLines::Work> work =
               known_.NextWork(text_.size(), tuning_.spacing)) {
        const KnownLines::Run run = LayOutStretch(text_, layout_, *work, tuning_.spacing, kNoGuess,
                                                  nullptr, lines_laid_out_);
        if (!known_.Merge(run)) break;
        ++version_;
    }
    pending_ = false;
}

std::size_t ViewLines::MemoryBytes() const {
    return known_.MemoryBytes() + walked_.starts.capacity() * sizeof(std::size_t);
}

}  // namespace bukvotok
