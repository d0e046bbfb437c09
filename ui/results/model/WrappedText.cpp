#include "WrappedText.h"

#include <algorithm>
#include <cmath>

namespace bukvotok {

namespace {

// Wider than any box, yet added to a position inside one it cannot overflow.
constexpr std::int32_t kAlwaysPastTheEdge = 1 << 28;

}  // namespace

std::int64_t WrappedText::ToUnits(float pixels) {
    return static_cast<std::int64_t>(std::llround(pixels * kUnitsPerPixel));
}

void WrappedText::SetMetrics(const TextMetrics& metrics) {
    metrics_ = metrics;
    ++layout_;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        advance_[byte] = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(ToUnits(metrics.advance[byte]), 0, kAlwaysPastTheEdge));
    }
    advance_['\r'] = advance_['\n'] = 0;
    layout_advance_ = advance_;
    layout_advance_['\t'] = layout_advance_['\r'] = kAlwaysPastTheEdge;
    tab_stop_ = std::clamp<std::int64_t>(ToUnits(metrics.tab_stop), 1, kAlwaysPastTheEdge);
    width_ = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(ToUnits(metrics.width), 0, kAlwaysPastTheEdge));
    starts_.Resize(1);
    starts_[0] = 0;
    laid_out_size_ = 0;
    LayOutTail();
}

WrappedText::WrappedText() { starts_.push_back(0); }

void WrappedText::Assign(std::string_view bytes) {
    BlockBytes text(bytes_.BlockSize());
    for (std::size_t at = 0; at < bytes.size(); at += text.BlockSize()) {
        text.Append(bytes.substr(at, text.BlockSize()));
    }
    bytes_ = std::move(text);
    starts_.Release();
    starts_.push_back(0);
    laid_out_size_ = 0;
}

void WrappedText::Append(std::string_view bytes) { bytes_.Append(bytes); }

std::size_t WrappedText::FirstLineAffected(std::size_t offset) {
    // Where a line ends depends on the bytes up to the first one that did not fit on it, which
    // lies on the next line or, when that line starts with a word too wide for any line, starts
    // the line after.  So the two lines before the edit may change, unless a line break ends
    // one of them first.
    std::size_t first = LineOf(offset);
    for (int back = 0; back < 2 && first > 0 && !EndsParagraph(first - 1); ++back) --first;
    return first;
}

HeldText WrappedText::Exchange(std::size_t from, std::size_t to, HeldText& held) {
    if (held.whole && held.whole->from == from &&
        held.whole->bytes.size() <= held.whole->from + held.whole->length + (Size() - to)) {
        HeldText taken;
        taken.bytes = bytes_.Copy(from, to);
        PutWholeBack(to, *held.whole);
        return taken;
    }
    const std::string copied = held.whole ? held.Copy() : std::string();
    const std::string_view bytes = held.whole ? copied : held.bytes;
    if (HoldsWhole(from, to)) return TakeWhole(from, to, bytes);
    HeldText taken;
    taken.bytes = bytes_.Copy(from, to);
    Replace(from, to, bytes);
    return taken;
}

// The text becomes a copy of what it keeps, and the former text with its lines goes whole to
// the one who holds the removed bytes.
HeldText WrappedText::TakeWhole(std::size_t from, std::size_t to, std::string_view bytes) {
    const std::size_t first = FirstLineAffected(from);
    auto whole = std::make_unique<HeldText::Whole>();
    BlockBytes text(bytes_.BlockSize());
    const auto append = [&text](std::string_view piece, std::size_t) {
        text.Append(piece);
        return true;
    };
    bytes_.ForEachPiece(0, from, append);
    text.Append(bytes);
    bytes_.ForEachPiece(to, Size(), append);
    GrowingArray<std::uint32_t> starts;
    starts.Append({starts_.data(), first + 1});

    whole->bytes = std::move(bytes_);
    whole->starts = std::move(starts_);
    whole->laid_out_size = laid_out_size_;
    whole->layout = layout_;
    whole->from = from;
    whole->length = to - from;
    bytes_ = std::move(text);
    starts_ = std::move(starts);
    laid_out_size_ = kNoLine;  // what follows the kept lines is laid out again
    HeldText taken;
    taken.whole = std::move(whole);
    return taken;
}

// The former text is this one but for [from, to), which it holds in place of it, and the bytes
// appended since: those are the only ones copied.
void WrappedText::PutWholeBack(std::size_t to, HeldText::Whole& whole) {
    const std::size_t kept_suffix = whole.bytes.size() - whole.from - whole.length;
    BlockBytes& bytes = whole.bytes;
    const std::size_t size_before = bytes.size();
    try {
        bytes_.ForEachPiece(to + kept_suffix, Size(),
                            [&bytes](std::string_view piece, std::size_t) {
                                bytes.Append(piece);
                                return true;
                            });
    } catch (...) {
        bytes.Replace(size_before, bytes.size(), {});  // as it was, to be put back later
        throw;
    }
    bytes_ = std::move(whole.bytes);
    starts_ = std::move(whole.starts);
    laid_out_size_ = whole.laid_out_size;
    if (starts_.empty() || whole.layout != layout_) {
        // Laid out for another width: laid out again, but not copied.
        starts_.Release();
        starts_.push_back(0);
        laid_out_size_ = kNoLine;
    }
}

void WrappedText::Replace(std::size_t from, std::size_t to, std::string_view bytes) {
    LayOutTail();
    const std::size_t first_line = FirstLineAffected(from);
    bytes_.Replace(from, to, bytes);
    laid_out_size_ = bytes_.size();
    const auto delta =
        static_cast<std::int64_t>(bytes.size()) - static_cast<std::int64_t>(to - from);
    const std::size_t edited_end = from + bytes.size();

    const std::size_t first = first_line;
    std::vector<std::uint32_t> fresh;
    std::size_t old_next = first + 1;  // the first old start not yet matched or passed
    std::size_t start = starts_[first];
    for (;;) {
        start = NextLineStart(start);
        if (start == kNoLine) {
            starts_.Replace(first + 1, starts_.size(), fresh);
            return;
        }
        if (start >= edited_end) {
            // From a start that is also an old start behind the edit, the lines are the old ones.
            while (old_next < starts_.size() &&
                   (starts_[old_next] < to || static_cast<std::int64_t>(starts_[old_next]) + delta <
                                                  static_cast<std::int64_t>(start))) {
                ++old_next;
            }
            if (old_next < starts_.size() && static_cast<std::int64_t>(starts_[old_next]) + delta ==
                                                 static_cast<std::int64_t>(start)) {
                break;
            }
        }
        fresh.push_back(static_cast<std::uint32_t>(start));
    }
    for (std::size_t i = old_next; i < starts_.size(); ++i) {
        starts_[i] = static_cast<std::uint32_t>(static_cast<std::int64_t>(starts_[i]) + delta);
    }
    starts_.Replace(first + 1, old_next, fresh);
}

std::size_t WrappedText::LineCount() {
    LayOutTail();
    return starts_.size();
}

std::size_t WrappedText::LineStart(std::size_t line) {
    LayOutTail();
    return starts_[line];
}

std::size_t WrappedText::LineEnd(std::size_t line) {
    LayOutTail();
    if (line + 1 >= starts_.size()) return bytes_.size();
    const std::size_t next = starts_[line + 1];
    return EndsParagraph(line) ? next - 2 : next;
}

bool WrappedText::EndsParagraph(std::size_t line) {
    LayOutTail();
    if (line + 1 >= starts_.size()) return false;
    const std::size_t next = starts_[line + 1];
    return next >= 2 && bytes_[next - 1] == '\n';
}

std::size_t WrappedText::LineOf(std::size_t offset) {
    LayOutTail();
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
    return static_cast<std::size_t>(after - starts_.begin()) - 1;
}

float WrappedText::X(std::size_t offset) { return ToPixels(XOnLine(LineOf(offset), offset)); }

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

// The hot loop of laying out, with one rare branch: taken when a byte does not fit, and for
// every tab and line break, whose advances make sure of that.
std::size_t WrappedText::NextLineStart(std::size_t start) const {
    std::int32_t x = 0;
    std::size_t after_blank = 0;
    std::size_t next_start = kNoLine;
    bytes_.ForEachPiece(start, bytes_.size(), [&](std::string_view piece, std::size_t offset) {
        const auto* const bytes = reinterpret_cast<const unsigned char*>(piece.data());
        for (std::size_t k = 0; k < piece.size(); ++k) {
            const unsigned char byte = bytes[k];
            const std::int32_t next = x + layout_advance_[byte];
            if (next > width_) {
                const std::size_t i = offset + k;
                if (byte == '\r') {
                    next_start = i + 2;
                    return false;
                }
                if (byte == ' ' || byte == '\t') {
                    // Blanks never wrap: they run past the edge, to where the next word starts.
                    x = static_cast<std::int32_t>(
                        std::min<std::int64_t>(x + Advance(byte, x), width_ + 1));
                    after_blank = i + 1;
                    continue;
                }
                if (i > start) {
                    next_start = after_blank > start ? after_blank : i;
                    return false;
                }
            }
            x = next;
            after_blank = byte == ' ' ? offset + k + 1 : after_blank;
        }
        return true;
    });
    return next_start;
}

void WrappedText::LayOutTail() {
    if (laid_out_size_ == bytes_.size()) return;
    std::size_t start = starts_.back();
    while ((start = NextLineStart(start)) != kNoLine) {
        starts_.push_back(static_cast<std::uint32_t>(start));
    }
    laid_out_size_ = bytes_.size();
}

}  // namespace bukvotok
