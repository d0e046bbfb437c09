// Drives the results box's text model with the edits, appends, undos and redos a script of
// bytes spells, and checks it after each against a plain string with a plain list of steps,
// and its lines against the same text laid out afresh.  Shared by a test and a fuzz target.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "TextModel.h"

namespace bukvotok::check {

class TextModelCheck {
public:
    TextModelCheck() : model_(TextModel::Tuning{64, 24, 16}) { SetWidth(40); }

    // Empty when the model agreed with the plain one throughout; else what differed first.
    std::string Run(std::span<const std::uint8_t> script) {
        for (std::size_t at = 0; at + 3 < script.size() && failure_.empty(); at += 4) {
            Step(script[at], script[at + 1], script[at + 2], script[at + 3]);
            Compare(at % 32 == 0);
        }
        if (failure_.empty()) Compare(true);
        return failure_;
    }

private:
    struct PlainStep {
        std::size_t at;
        std::string in;   // in the text
        std::string out;  // out of it
    };

    void Step(std::uint8_t op, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
        switch (op % 10) {
            case 0:
            case 1:
                Append(Bytes(a, b));
                break;
            case 2:
            case 3:
                Edit(Caret(a), Caret(a), Bytes(b, c), TextModel::EditKind::kTyping);
                break;
            case 4: {
                const std::size_t from = Caret(a);
                const std::size_t to = Caret(b);
                Edit(std::min(from, to), std::max(from, to), Bytes(c, a),
                     TextModel::EditKind::kOther);
                break;
            }
            case 5:  // select all and type, as on a full box
                Edit(0, text_.size(), Bytes(c, 1), TextModel::EditKind::kTyping);
                break;
            case 6:
                Undo();
                break;
            case 7:
                Redo();
                break;
            case 8:
                if (a % 2)
                    model_.EndTyping();
                else
                    SetWidth(static_cast<float>(8 + b % 64));
                break;
            default:
                model_.SetCapacity(a % 4 == 0 ? WrappedText::kMaxSize : 16 + b * 2u);
                Sync();
                break;
        }
    }

    // Letters, blanks and line breaks; `shape` picks the mix, `length` how many.
    static std::string Bytes(std::uint8_t shape, std::uint8_t length) {
        static const char* const kPieces[] = {"a", "b", " ", "\t", "\r\n", "\xE0", "ww", " "};
        std::string bytes;
        for (int i = 0; i < length % 12; ++i) bytes += kPieces[(shape >> (i % 6)) % 8 ^ (i & 1)];
        return bytes;
    }

    std::size_t Caret(std::uint8_t pick) const {
        std::size_t at = text_.empty() ? 0 : pick * text_.size() / 255;
        if (at > 0 && at < text_.size() && text_[at - 1] == '\r') --at;
        return at;
    }

    void SetWidth(float width) {
        metrics_.width = width;
        for (std::size_t byte = 0; byte < 256; ++byte) metrics_.advance[byte] = 7;
        metrics_.advance[' '] = 3;
        metrics_.advance[0xE0] = 9.5f;
        metrics_.tab_stop = 20;
        model_.Text().SetMetrics(metrics_);
    }

    void Append(const std::string& bytes) {
        const bool fits = bytes.empty() || text_.size() + bytes.size() <= model_.Capacity();
        if (model_.Append(bytes) != fits) return Fail("append refused or taken wrongly");
        if (fits) text_ += bytes;
        Sync();
    }

    void Edit(std::size_t from, std::size_t to, const std::string& bytes,
              TextModel::EditKind kind) {
        const bool fits = Fits(to - from, bytes.size());
        const std::size_t recorded = model_.History().Recorded();
        if (model_.Replace(from, to, bytes, kind) != fits) return Fail("edit refused wrongly");
        if (!fits) return;
        if (model_.History().Recorded() == recorded) {
            // Typing went on with the last step, or the edit was too large to keep.
            if (model_.History().UndoCount() > 0)
                steps_.back().in.insert(from - steps_.back().at, bytes);
        } else {
            steps_.resize(done_);
            steps_.push_back({from, bytes, text_.substr(from, to - from)});
            done_ = steps_.size();
        }
        text_.replace(from, to - from, bytes);
        Sync();
    }

    void Undo() {
        if (model_.CanUndo() != (done_ > 0)) return Fail("can undo differs");
        if (!model_.CanUndo()) return;
        PlainStep& step = steps_[done_ - 1];
        const bool fits = Fits(step.in.size(), step.out.size());
        if (model_.Undo().has_value() != fits) return Fail("undo refused wrongly");
        if (!fits) return;
        Swap(step);
        --done_;
        Sync();
    }

    void Redo() {
        if (model_.CanRedo() != (done_ < steps_.size())) return Fail("can redo differs");
        if (!model_.CanRedo()) return;
        PlainStep& step = steps_[done_];
        const bool fits = Fits(step.in.size(), step.out.size());
        if (model_.Redo().has_value() != fits) return Fail("redo refused wrongly");
        if (!fits) return;
        Swap(step);
        ++done_;
        Sync();
    }

    // A text may shrink whatever its limit, and grow up to it.
    bool Fits(std::size_t removed, std::size_t inserted) const {
        return inserted <= removed || text_.size() - removed + inserted <= model_.Capacity();
    }

    void Swap(PlainStep& step) {
        text_.replace(step.at, step.in.size(), step.out);
        std::swap(step.in, step.out);
    }

    // The model drops its oldest steps for room: the plain one follows.
    void Sync() {
        const EditHistory& history = model_.History();
        if (history.UndoCount() > done_ || history.RedoCount() > steps_.size() - done_) {
            return Fail("the model has steps the plain one has not");
        }
        steps_.resize(done_ + history.RedoCount());
        steps_.erase(steps_.begin(),
                     steps_.begin() + static_cast<std::ptrdiff_t>(done_ - history.UndoCount()));
        done_ = history.UndoCount();
        if (history.UndoCount() + history.RedoCount() > 1 &&
            text_.size() + history.HeldBytes() > model_.Capacity() + 64) {
            Fail("the history passed the limit");
        }
    }

    void Compare(bool lines) {
        if (!failure_.empty()) return;
        if (model_.Text().Copy() != text_) return Fail("the text differs");
        if (!lines) return;
        WrappedText fresh;
        fresh.SetMetrics(metrics_);
        fresh.Assign(text_);
        WrappedText& text = model_.Text();
        if (text.LineCount() != fresh.LineCount()) return Fail("the line count differs");
        for (std::size_t line = 0; line < fresh.LineCount(); ++line) {
            if (text.LineStart(line) != fresh.LineStart(line)) return Fail("a line differs");
        }
    }

    void Fail(const char* what) {
        if (failure_.empty()) failure_ = what;
    }

    TextModel model_;
    TextMetrics metrics_;
    std::string text_;
    std::vector<PlainStep> steps_;
    std::size_t done_ = 0;
    std::string failure_;
};

}  // namespace bukvotok::check
