#include "WrappedText.h"

#include <algorithm>

#include "SplicedBytes.h"

namespace bukvotok {

// The lines of the text an edit would make, as runs of lines that stay as they were and lines
// laid out afresh.  The edit gives the parts of its new text, each with the lines it had where
// they were laid out, if those still hold.  A line's start depends on the bytes before it only
// up to the first byte that did not fit on the line before, which lies on the line itself or,
// past a word wider than the box, on the next; so where a part meets other bytes than it met
// before, the two lines before it are laid out again, and on until a line starts where one of
// a part's own lines started: from there on, that part's lines hold.
class WrappedText::Relayout {
public:
    Relayout(const LineLayout& layout, const SplicedBytes& text) : layout_(layout), text_(text) {}

    // The lines of the part added `part`th, if any, and whether it ends where it ended when
    // they were laid out: at the end of the same text.
    void SetLines(std::size_t part, LineStarts* lines, bool ends_as_before) {
        lines_[part] = lines;
        ends_as_before_[part] = ends_as_before;
    }

    void Plan();

    std::vector<LineStarts::Run> runs;
    std::vector<std::size_t> fresh;

private:
    std::size_t End(std::size_t part) const {
        const SplicedBytes::Part& p = text_.PartAt(part);
        return p.at + (p.to - p.from);
    }
    std::int64_t Shift(std::size_t part) const {
        const SplicedBytes::Part& p = text_.PartAt(part);
        return static_cast<std::int64_t>(p.at) - static_cast<std::int64_t>(p.from);
    }
    // The end of the part's own lines: those that start within it, and at its end too when
    // that is the end of the text, after a last line break.
    std::size_t OwnEnd(std::size_t part) const {
        const std::size_t to = text_.PartAt(part).to;
        return lines_[part]->LowerBound(ends_as_before_[part] ? to + 1 : to);
    }
    // The part's own lines, if any.
    bool OwnLines(std::size_t part, std::size_t& first, std::size_t& end) const {
        const LineStarts* lines = lines_[part];
        if (lines == nullptr) return false;
        first = lines->LowerBound(text_.PartAt(part).from);
        end = OwnEnd(part);
        return first < end;
    }
    std::size_t LastStart() const {
        const LineStarts::Run& run = runs.back();
        if (run.table == nullptr) return fresh[run.to - 1];
        return static_cast<std::size_t>(static_cast<std::int64_t>(run.table->Start(run.to - 1)) +
                                        run.shift);
    }
    void AddFresh(std::size_t start) {
        if (runs.empty() || runs.back().table != nullptr) {
            runs.push_back({nullptr, fresh.size(), fresh.size(), 0});
        }
        fresh.push_back(start);
        ++runs.back().to;
        ++count_;
    }
    void AddOwn(std::size_t part, std::size_t first, std::size_t end) {
        runs.push_back({lines_[part], first, end, Shift(part)});
        count_ += end - first;
    }
    void PopStarts(std::size_t n) {
        while (n > 0) {
            LineStarts::Run& run = runs.back();
            const std::size_t taken = std::min(n, run.to - run.from);
            run.to -= taken;
            if (run.table == nullptr) fresh.resize(run.to);
            if (run.from == run.to) runs.pop_back();
            n -= taken;
            count_ -= taken;
        }
    }
    // Whether `start` is one of its part's own lines; if so they are taken from there on.
    bool Resync(std::size_t start) {
        if (start >= text_.size()) return false;
        const std::size_t part = text_.PartOf(start);
        const LineStarts* lines = lines_[part];
        if (lines == nullptr) return false;
        const std::size_t in_part = start - text_.PartAt(part).at + text_.PartAt(part).from;
        const std::size_t line = lines->LowerBound(in_part);
        if (line == lines->Count() || lines->Start(line) != in_part) return false;
        AddOwn(part, line, OwnEnd(part));
        resynced_part_ = part;
        return true;
    }

    const LineLayout& layout_;
    const SplicedBytes& text_;
    std::array<LineStarts*, 4> lines_{};
    std::array<bool, 4> ends_as_before_{};
    std::size_t count_ = 0;
    std::size_t resynced_part_ = 0;
};

void WrappedText::Relayout::Plan() {
    const std::size_t parts = text_.PartCount();
    std::size_t first = 0;
    std::size_t end = 0;
    // Where lines may have changed: from two lines before it on.
    std::size_t dirty = 0;
    if (parts > 0 && OwnLines(0, first, end) && lines_[0]->Start(first) == text_.PartAt(0).from) {
        AddOwn(0, first, end);
        if (parts == 1 && ends_as_before_[0]) return;
        dirty = End(0);
    } else {
        AddFresh(0);
    }
    for (;;) {
        PopStarts(count_ > 2 ? 2 : count_ - 1);
        std::size_t start = LastStart();
        for (;;) {
            const std::size_t next = layout_.NextLineStart(text_, start);
            if (next == kNoLine) return;
            if (next >= dirty && Resync(next)) break;
            AddFresh(next);
            start = next;
        }
        const std::size_t part = resynced_part_;
        if (part + 1 == parts && ends_as_before_[part]) return;
        dirty = End(part);
    }
}

WrappedText::WrappedText() { starts_.PushBack(0); }

void WrappedText::SetMetrics(const TextMetrics& metrics) {
    Cancel();
    ++numbering_;
    layout_.SetMetrics(metrics);
    starts_.Truncate(1);
    laid_out_size_ = 0;
    LayOutTail();
}

void WrappedText::SetMetricsSoon(const TextMetrics& metrics, std::size_t anchor) {
    // Below this, laying out everything at once takes a few milliseconds.
    constexpr std::size_t kAtOnceBelow = 4 << 20;
    // From the anchor on, enough for a few screens of a box of any size.
    constexpr std::size_t kAtOnceAfterAnchor = 256 << 10;
    if (Size() < kAtOnceBelow) return SetMetrics(metrics);
    Cancel();
    LineLayout layout;
    layout.SetMetrics(metrics);
    anchor = std::min(anchor, Size());
    if (!IsCaretOffset(anchor)) --anchor;
    LineStarts lines;
    lines.PushBack(0);
    if (anchor > 0) lines.PushBack(anchor);
    bool many_after = false;
    for (std::size_t start = anchor;;) {
        const std::size_t next = layout.NextLineStart(bytes_, start);
        if (next == kNoLine) break;
        lines.PushBack(next);
        if (next >= anchor + kAtOnceAfterAnchor) {
            many_after = next < Size();
            break;
        }
        start = next;
    }
    auto background = std::make_unique<LayoutInBackground>(bytes_.Share(0, Size()), layout);
    layout_ = layout;
    starts_ = std::move(lines);
    ++numbering_;
    laid_out_size_ = Size();
    background_ = std::move(background);
    many_before_ = anchor > 0;
    many_after_ = many_after;
}

bool WrappedText::Poll() {
    if (!background_ || !background_->Done()) return false;
    Join();
    return true;
}

void WrappedText::Join() {
    if (!background_) return;
    const std::unique_ptr<LayoutInBackground> background = std::move(background_);
    many_before_ = many_after_ = false;
    ++numbering_;
    if (background->Wait()) {
        starts_ = background->TakeLines();
        laid_out_size_ = background->Size();
    } else {
        starts_.Truncate(1);  // laid out here, then, if memory allows
        laid_out_size_ = 0;
    }
    LayOutTail();  // what was appended meanwhile
}

void WrappedText::Assign(std::string_view bytes, std::vector<GrowingArray<char>>& released) {
    BlockBytes text = BlockBytes::CopyOf(bytes, bytes_.BlockSize());
    Cancel();
    bytes_.MoveBlocksTo(released);
    bytes_ = std::move(text);
    starts_.Truncate(1);
    laid_out_size_ = 0;
}

HeldText WrappedText::Held(std::string_view bytes) const {
    HeldText held;
    held.bytes = BlockBytes::CopyOf(bytes, bytes_.BlockSize());
    return held;
}

HeldText WrappedText::HeldCopy(std::size_t from, std::size_t to) const {
    HeldText held;
    held.bytes = bytes_.Share(from, to);
    return held;
}

HeldText WrappedText::HeldShare(const BlockBytes& bytes) const {
    HeldText held;
    held.bytes = bytes.Share(0, bytes.size());
    return held;
}

HeldText WrappedText::Splice(std::size_t from, std::size_t to, HeldText&& in) {
    HeldText out;
    if (from == to && in.Size() == 0) return out;
    Join();
    LayOutTail();
    SplicedBytes text;
    Relayout relayout(layout_, text);
    const auto add = [&](const BlockBytes& bytes, std::size_t a, std::size_t b, LineStarts* lines,
                         bool ends_as_before) {
        if (a == b) return;
        relayout.SetLines(text.PartCount(), lines, ends_as_before);
        text.Add(bytes, a, b);
    };
    const bool in_lines_hold = in.layout == layout_.Generation() && !in.lines.Empty();
    add(bytes_, 0, from, &starts_, false);
    add(in.bytes, 0, in.Size(), in_lines_hold ? &in.lines : nullptr, false);
    add(bytes_, to, Size(), &starts_, true);
    relayout.Plan();

    // The lines that start in what goes out go with it.
    std::vector<LineStarts::Target> targets;
    targets.push_back({&starts_, std::move(relayout.runs)});
    const std::size_t first_out = starts_.LowerBound(from);
    const std::size_t end_out = starts_.LowerBound(to);
    if (first_out < end_out) {
        targets.push_back(
            {&out.lines, {{&starts_, first_out, end_out, -static_cast<std::int64_t>(from)}}});
    }
    out.layout = layout_.Generation();
    LineStarts::Assembly assembly(std::move(targets), std::move(relayout.fresh));
    out.bytes = bytes_.Splice(from, to, std::move(in.bytes));
    // From here nothing can fail.
    assembly.Commit();
    in.lines.Clear();
    laid_out_size_ = Size();
    return out;
}

void WrappedText::Move(std::size_t from, std::size_t to, std::size_t dest) {
    if (from >= to || (dest >= from && dest <= to)) return;
    Join();
    LayOutTail();
    SplicedBytes text;
    Relayout relayout(layout_, text);
    const auto add = [&](std::size_t a, std::size_t b) {
        if (a == b) return;
        relayout.SetLines(text.PartCount(), &starts_, b == Size());
        text.Add(bytes_, a, b);
    };
    if (dest < from) {
        add(0, dest);
        add(from, to);
        add(dest, from);
        add(to, Size());
    } else {
        add(0, from);
        add(to, dest);
        add(from, to);
        add(dest, Size());
    }
    relayout.Plan();
    std::vector<LineStarts::Target> targets;
    targets.push_back({&starts_, std::move(relayout.runs)});
    LineStarts::Assembly assembly(std::move(targets), std::move(relayout.fresh));
    bytes_.Move(from, to, dest);
    assembly.Commit();
}

void WrappedText::LayOutTail() {
    if (laid_out_size_ == bytes_.size()) return;
    if (many_after_) {
        laid_out_size_ = bytes_.size();  // the last line stands for all after it
        return;
    }
    const std::size_t count = starts_.Count();
    std::size_t start = starts_.Start(count - 1);
    try {
        while ((start = layout_.NextLineStart(bytes_, start)) != kNoLine) starts_.PushBack(start);
    } catch (...) {
        starts_.Truncate(count);
        throw;
    }
    laid_out_size_ = bytes_.size();
}

std::size_t WrappedText::LineCount() {
    LayOutTail();
    return starts_.Count();
}

std::size_t WrappedText::LineStart(std::size_t line) {
    if (StandsForMany(line)) Join();
    LayOutTail();
    return starts_.Start(line);
}

std::size_t WrappedText::LineEnd(std::size_t line) {
    if (StandsForMany(line)) Join();
    LayOutTail();
    if (line + 1 >= starts_.Count()) return bytes_.size();
    const std::size_t next = starts_.Start(line + 1);
    return EndsParagraph(line) ? next - 2 : next;
}

bool WrappedText::EndsParagraph(std::size_t line) {
    if (StandsForMany(line)) Join();
    LayOutTail();
    if (line + 1 >= starts_.Count()) return false;
    const std::size_t next = starts_.Start(line + 1);
    return next >= 2 && bytes_[next - 1] == '\n';
}

std::size_t WrappedText::LineOf(std::size_t offset) {
    LayOutTail();
    std::size_t line = starts_.LineOf(offset);
    if (StandsForMany(line)) {
        Join();
        line = starts_.LineOf(offset);
    }
    return line;
}

std::size_t WrappedText::ParagraphStart(std::size_t offset) const {
    const std::size_t found = bytes_.FindBreakBefore(offset);
    return found == BlockBytes::kNotFound ? 0 : std::min(found + 2, offset);
}

std::size_t WrappedText::ParagraphEnd(std::size_t offset) const {
    const std::size_t found = bytes_.FindBreakFrom(offset);
    return found == BlockBytes::kNotFound ? bytes_.size() : found;
}

std::int64_t WrappedText::XOnLine(std::size_t line, std::size_t offset) {
    std::int64_t x = 0;
    bytes_.ForEachPiece(LineStart(line), offset, [&](std::string_view piece, std::size_t) {
        for (const char byte : piece) x += Advance(static_cast<unsigned char>(byte), x);
        return true;
    });
    return x;
}

std::size_t WrappedText::OffsetAtUnits(std::size_t line, std::int64_t x) {
    const std::size_t end = LineEnd(line);
    std::size_t found = end;
    std::int64_t left = 0;
    bytes_.ForEachPiece(LineStart(line), end, [&](std::string_view piece, std::size_t offset) {
        for (std::size_t k = 0; k < piece.size(); ++k) {
            const std::int64_t advance = Advance(static_cast<unsigned char>(piece[k]), left);
            if (2 * x < 2 * left + advance) {
                found = offset + k;
                return false;
            }
            left += advance;
        }
        return true;
    });
    return found;
}

}  // namespace bukvotok
