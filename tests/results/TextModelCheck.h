// Drives the results box's text model with the edits, appends, undos and redos a script of
// bytes spells, and checks it after each against a plain string with a plain list of steps
// that follows the rule for room as the model's header states it.  The view's lines follow the
// model through width changes, with the laying out ahead done a stretch at a time among the
// edits: after each step the lines near what changed, and where the script points, must hold
// together and, where known to be exact, be those of a fresh layout of the text; where the
// script asks, so must all of them, as they are and once everything is laid out.  Shared by a
// test and a fuzz target.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "TextModel.h"
#include "ViewLines.h"

namespace bukvotok::check {

class TextModelCheck {
public:
    static constexpr std::size_t kAllowance = 64;
    // Steps that hold this much are kept for the user: small, so that many are.
    static constexpr std::size_t kKeepFrom = 12;
    // Runs of blanks longer than a line holds are made often.
    static constexpr std::size_t kLongestLine = 24;

    // Blocks of 16 bytes, and marks, guesses and stretches laid out at once of a few dozen (all
    // that is left under a hundred), so that edits cross all of them.
    TextModelCheck()
        : model_(TextModel::Tuning{kAllowance, 16, kKeepFrom}),
          lines_(model_.Bytes(), LayoutTuning{8, 32, 68, 48, 96, 0, false, kLongestLine}),
          layout_(kLongestLine) {
        SetWidth(40);
    }
    TextModelCheck(const TextModelCheck&) = delete;
    TextModelCheck& operator=(const TextModelCheck&) = delete;

    // Empty when the model agreed with the plain one throughout; else what differed first.
    std::string Run(std::span<const std::uint8_t> script) {
        for (std::size_t at = 0; at + 3 < script.size() && failure_.empty(); at += 4) {
            Step(script[at], script[at + 1], script[at + 2], script[at + 3]);
            // The operation is the low half of its byte; the high half asks for all the lines,
            // so that a script may leave what is laid out behind alone for as long as it likes.
            Compare(script[at] >= 0xF0, Caret(script[at + 3]));
            if (!failure_.empty()) {
                failure_ += " after step " + std::to_string(at / 4) + " (operation " +
                            std::to_string(script[at] % 16) + ")";
            }
        }
        if (failure_.empty()) Compare(true, 0);
        return failure_;
    }

private:
    using Kind = TextModel::EditKind;

    struct PlainStep {
        bool move = false;
        std::size_t at = 0;
        std::string in;          // an exchange's bytes in the text
        std::string out;         // and out of it
        std::size_t length = 0;  // a move's bytes, from `at` to `to`
        std::size_t to = 0;
        bool typing = false;
        bool expendable = false;
        std::uint64_t saved_in = 0;  // the save whose file holds `out`
        std::uint64_t touched = 0;
        std::size_t Cost() const { return out.size() + sizeof(EditStep); }
    };
    using Refusal = TextModel::Refusal;

    void Step(std::uint8_t op, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
        switch (op % 16) {
            case 0:
                Append(Bytes(a, b), false);
                break;
            case 1:  // words handed over together where they fit without pushing out a step
                Append(" " + Bytes(a, b), c % 2 == 1);
                break;
            case 2:
            case 3:
                Edit(Caret(a), Caret(a), Bytes(b, c), Kind::kTyping);
                break;
            case 4: {
                const std::size_t from = Caret(a);
                const std::size_t to = Caret(b);
                Edit(std::min(from, to), std::max(from, to), Bytes(c, a), Kind::kOther);
                break;
            }
            case 5:  // select all and type, as on a full box
                Edit(0, text_.size(), Bytes(c, 1), Kind::kTyping);
                break;
            case 6:
            case 15:
                Undo();
                break;
            case 7:
                Redo();
                break;
            case 8:
                if (a % 4 == 1) {
                    EndTyping();
                } else if (a % 4 == 3) {
                    lines_.LayOutSome();  // the lines ahead, a stretch of them
                } else {
                    SetWidth(static_cast<float>(8 + b % 64));
                }
                break;
            case 9:
                if (a % 4 == 1) {
                    if (b % 4 == 3) {
                        ForgetSave(b / 4 % 3);  // the file of a recent save written over
                    } else {
                        MarkSaved();
                    }
                } else {
                    SetCapacity(a % 4 == 0 ? TextModel::kMaxSize : 16 + b * 2u);
                }
                break;
            case 10:  // select from the top down to a share of the text, or up from the end
                if (a % 2) {
                    Edit(0, Caret(b), "", Kind::kOther);
                } else {
                    Edit(Caret(b), text_.size(), "", Kind::kOther);
                }
                break;
            case 11:
                Clear();
                break;
            case 12:
                Move(Caret(a), Caret(b), Caret(c));
                break;
            case 13:
                if (a % 4 == 2) {
                    Forget();
                } else if (a % 2 || marks_.empty()) {
                    BeginSearch();
                } else {
                    EndSearch();
                }
                break;
            default:
                // Copies double the text at most; past a few kilobytes the plain string's copies
                // would take the time.
                if (text_.size() < 4096) InsertCopy(Caret(a), Caret(b), Caret(c));
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
        lines_.SetMetrics(metrics_);
        layout_.SetMetrics(metrics_);
        // A fresh layout, all of it.
        fresh_.assign(1, 0);
        LayOutFresh(0);
    }

    // The view's lines are told of each change the model made.
    void Edited() {
        lines_.Edited(model_.LastChange().at, model_.LastChange().removed,
                      model_.LastChange().inserted);
    }

    // The rule for room, plainly.
    std::size_t Budget() const { return capacity_ + std::max(kAllowance, capacity_ / 32); }
    std::size_t Held() const {
        std::size_t held = 0;
        for (const PlainStep& step : steps_) held += step.Cost();
        return held;
    }
    // Removed text of some size stays until its bytes are in a file or the user lets it go.
    bool Kept(const PlainStep& step) const {
        return !step.move && !step.expendable && step.out.size() >= kKeepFrom;
    }
    // Before the outermost search that runs, or any when none does.
    bool Before(const PlainStep& step) const {
        return marks_.empty() || step.touched < marks_.front();
    }

    void Append(const std::string& bytes, bool together) {
        if (marks_.empty()) BeginSearch();  // the search's words are what appends
        std::size_t held = Held();
        std::size_t redo = 0;
        std::size_t oldest = 0;
        const std::size_t after = text_.size() + bytes.size();
        bool fits = after <= capacity_;
        Refusal refusal = fits ? Refusal::kHistory : Refusal::kText;
        const auto may_go = [&](const PlainStep& step) {
            if (!Before(step)) return false;
            if (Kept(step)) refusal = Refusal::kKept;
            return !Kept(step);
        };
        if (fits) {
            while (after + held > capacity_ && redo < steps_.size() - done_ &&
                   may_go(steps_[steps_.size() - 1 - redo])) {
                held -= steps_[steps_.size() - 1 - redo++].Cost();
            }
            while (after + held > capacity_ && oldest < done_ && may_go(steps_[oldest])) {
                held -= steps_[oldest++].Cost();
            }
            fits = after + held <= capacity_;
        }
        bool appended = false;
        if (together && bytes.size() <= model_.PlainAppendRoom()) {
            std::size_t taken = 0;
            model_.AppendWords(bytes, taken);
            appended = taken == bytes.size();
        } else {
            appended = model_.Append(bytes);
        }
        if (appended != (fits || bytes.empty())) return Fail("append refused wrongly");
        if (!fits) {
            if (!bytes.empty() && model_.LastRefusal() != refusal) Fail("the refusal differs");
            return;
        }
        if (bytes.empty()) return;
        lines_.Appended();
        Splice(text_.size(), 0, bytes);
        saved_by_ = 0;
        for (std::size_t i = steps_.size() - redo; i < steps_.size(); ++i) {
            if (Kept(steps_[i])) return Fail("an append dropped removed text kept for the user");
        }
        steps_.resize(steps_.size() - redo);
        Drop(oldest);
        if (text_.size() + Held() > capacity_) Fail("an append left no room to undo");
    }

    // How many of the oldest steps a user's edit pushes out, whether it fits then, and if not,
    // what stood in the way.
    struct Room {
        std::size_t oldest = 0;
        bool fits = false;
        Refusal refusal = Refusal::kHistory;
    };
    Room RoomForEdit(std::size_t text_after, std::size_t step_cost, bool goes_on) const {
        Room room;
        std::size_t held = Held();
        if (!goes_on) {
            for (std::size_t i = done_; i < steps_.size(); ++i) held -= steps_[i].Cost();
        }
        const std::size_t droppable = goes_on ? done_ - 1 : done_;
        while (text_after + held + step_cost > Budget() && room.oldest < droppable) {
            if (Kept(steps_[room.oldest])) {
                room.refusal = Refusal::kKept;
                break;
            }
            held -= steps_[room.oldest++].Cost();
        }
        room.fits = text_after + held + step_cost <= Budget();
        return room;
    }

    void Record(PlainStep step, std::size_t oldest) {
        if (saved_state_ > State()) saved_by_ = 0;  // among the steps undone, which go
        steps_.resize(done_);
        TakenHere(step);
        step.touched = ++stamp_;
        steps_.push_back(std::move(step));
        done_ = steps_.size();
        merging_ = true;
        just_undone_ = false;
        Drop(oldest);
    }

    template <typename Call>
    void Edit(std::size_t from, std::size_t to, const std::string& bytes, Kind kind, Call call) {
        const std::size_t new_size = text_.size() - (to - from) + bytes.size();
        const bool nothing = from == to && bytes.empty();
        const bool goes_on = kind == Kind::kTyping && from == to && merging_ && done_ > 0 &&
                             done_ == steps_.size() && !steps_.back().move &&
                             steps_.back().typing &&
                             steps_.back().at + steps_.back().in.size() == from;
        const Room room =
            RoomForEdit(new_size, goes_on ? 0 : to - from + sizeof(EditStep), goes_on);
        const bool text_fits = !(new_size > capacity_ && new_size > text_.size());
        const bool fits = room.fits && text_fits;
        const std::size_t oldest = room.oldest;
        lines_.ReserveForEdit();
        if (call() != (fits || nothing)) return Fail("edit refused wrongly");
        if (!fits && !nothing &&
            model_.LastRefusal() != (text_fits ? room.refusal : Refusal::kText)) {
            return Fail("the refusal differs");
        }
        if (!fits || nothing) return;
        Edited();
        if (goes_on) {
            steps_.back().in += bytes;
            steps_.back().touched = ++stamp_;
            if (Saved()) saved_by_ = 0;
            Drop(oldest);
        } else {
            PlainStep step;
            step.at = from;
            step.in = bytes;
            step.out = text_.substr(from, to - from);
            step.typing = kind == Kind::kTyping;
            Record(step, oldest);
        }
        Splice(from, to - from, bytes);
    }
    void Edit(std::size_t from, std::size_t to, const std::string& bytes, Kind kind) {
        Edit(from, to, bytes, kind, [&] { return model_.Replace(from, to, bytes, kind); });
    }

    void Clear() {
        EndTyping();
        Edit(0, text_.size(), "", Kind::kOther);
    }

    // The same room and step as inserting the copied bytes; the model copies within itself.
    void InsertCopy(std::size_t at, std::size_t from, std::size_t to) {
        if (from > to) std::swap(from, to);
        // As Ctrl+C takes it: it must keep these bytes whatever the text does next.
        clipboard_ = model_.Bytes().Share(from, to);
        clipboard_text_ = text_.substr(from, to - from);
        Edit(at, at, text_.substr(from, to - from), Kind::kOther,
             [this, at, from, to] { return model_.InsertShared(at, from, to); });
    }

    void Move(std::size_t from, std::size_t to, std::size_t dest) {
        if (from > to) std::swap(from, to);
        if (from == to || (dest >= from && dest <= to)) {
            if (!model_.Move(from, to, dest)) Fail("an empty move was refused");
            return;
        }
        const Room room = RoomForEdit(text_.size(), sizeof(EditStep), false);
        const std::size_t oldest = room.oldest;
        lines_.ReserveForEdit();
        if (model_.Move(from, to, dest) != room.fits) return Fail("move refused wrongly");
        if (!room.fits) {
            if (model_.LastRefusal() != room.refusal) Fail("the refusal differs");
            return;
        }
        Edited();
        const std::string moved = text_.substr(from, to - from);
        Splice(from, to - from, "");
        const std::size_t lands = dest < from ? dest : dest - moved.size();
        Splice(lands, 0, moved);
        PlainStep step;
        step.move = true;
        step.length = moved.size();
        step.at = lands;
        step.to = from < lands ? from : from + moved.size();
        Record(step, oldest);
    }

    void Undo() {
        if (model_.CanUndo() != (done_ > 0)) return Fail("can undo differs");
        if (done_ == 0) {
            if (model_.Undo()) Fail("undid nothing");
            return;
        }
        lines_.ReserveForEdit();
        if (!model_.Undo()) return Fail("an undo was refused");
        Edited();
        Swap(steps_[done_ - 1]);
        --done_;
        merging_ = false;
        just_undone_ = true;
    }

    void Redo() {
        if (just_undone_ && !model_.CanRedo()) return Fail("the step just undone cannot be redone");
        if (model_.CanRedo() != (done_ < steps_.size())) return Fail("can redo differs");
        if (done_ == steps_.size()) {
            if (model_.Redo()) Fail("redid nothing");
            return;
        }
        lines_.ReserveForEdit();
        if (!model_.Redo()) return Fail("a redo was refused");
        Edited();
        Swap(steps_[done_]);
        ++done_;
        merging_ = false;
        just_undone_ = false;
    }

    void Swap(PlainStep& step) {
        step.touched = ++stamp_;
        if (!step.move) TakenHere(step);
        if (step.move) {
            const std::string moved = text_.substr(step.at, step.length);
            Splice(step.at, step.length, "");
            const std::size_t lands = step.to < step.at ? step.to : step.to - step.length;
            Splice(lands, 0, moved);
            step.to = step.at < lands ? step.at : step.at + step.length;
            step.at = lands;
            return;
        }
        Splice(step.at, step.in.size(), step.out);
        std::swap(step.in, step.out);
    }

    void EndTyping() {
        model_.EndTyping();
        merging_ = false;
    }

    void SetCapacity(std::size_t capacity) {
        model_.SetCapacity(capacity);
        capacity_ = capacity;
        just_undone_ = false;  // a smaller limit may take what was undone
        while (!steps_.empty() && text_.size() + Held() > Budget()) {
            // A smaller limit is no edit: it takes what it must, kept or not.
            if (done_ < steps_.size()) {
                steps_.pop_back();
            } else {
                steps_.erase(steps_.begin());
                --done_;
                ++dropped_;
            }
        }
        if (saved_state_ < dropped_ || saved_state_ > dropped_ + steps_.size()) saved_by_ = 0;
    }

    // The save point, plainly: a state of the history, numbered from the first.
    std::uint64_t State() const { return dropped_ + done_; }
    bool Saved() const { return saved_by_ != 0 && saved_state_ == State(); }
    // What a step takes out of the state it leaves is in a file when that state is saved.
    void TakenHere(PlainStep& step) const {
        step.expendable = Saved();
        step.saved_in = Saved() ? saved_by_ : 0;
    }

    void MarkSaved() {
        saved_state_ = State();
        saved_by_ = ++saves_;
        if (model_.MarkSaved() != saved_by_) Fail("the saves are numbered differently");
    }

    // Another text saved over the file of the save `back` saves before the last.
    void ForgetSave(std::uint64_t back) {
        const std::uint64_t save = saves_ > back ? saves_ - back : 0;
        model_.ForgetSave(save);
        if (save == 0) return;
        for (PlainStep& step : steps_) {
            if (step.saved_in == save) {
                step.expendable = false;
                step.saved_in = 0;
            }
        }
        if (saved_by_ == save) saved_by_ = 0;
    }

    // The user's word, when the search asks it: what stood in its way may go.
    void Forget() {
        model_.ForgetKeptBeforeSearch();
        for (PlainStep& step : steps_) {
            if (Before(step)) {
                step.expendable = true;
                step.saved_in = 0;
            }
        }
    }

    void BeginSearch() {
        model_.BeginSearch();
        marks_.push_back(++stamp_);
        just_undone_ = false;  // its words may push out what was undone before it
    }

    void EndSearch() {
        model_.EndSearch();
        marks_.pop_back();
    }

    void Drop(std::size_t oldest) {
        for (std::size_t i = 0; i < oldest; ++i) {
            if (Kept(steps_[i])) return Fail("removed text kept for the user was dropped");
        }
        steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(oldest));
        done_ -= oldest;
        dropped_ += oldest;
        if (saved_state_ < dropped_) saved_by_ = 0;
    }

    // The plain text's [at, at + removed) becomes `bytes`, and the lines of a fresh layout follow.
    // A line start depends on nothing before the start of the line before it, and the lines
    // after a line start on nothing before it: so the lines up to two before the change stay,
    // and laying out again from there goes on until a line starts after the change where one
    // started before it.
    void Splice(std::size_t at, std::size_t removed, std::string_view bytes) {
        text_.replace(at, removed, bytes);
        const auto line = static_cast<std::size_t>(
            std::upper_bound(fresh_.begin(), fresh_.end(), at) - fresh_.begin() - 1);
        fresh_after_.clear();
        for (std::size_t i = line + 1; i < fresh_.size(); ++i) {
            if (fresh_[i] >= at + removed)
                fresh_after_.push_back(fresh_[i] - removed + bytes.size());
        }
        fresh_.resize(line >= 2 ? line - 1 : 1);
        LayOutFresh(at + bytes.size());
    }

    // Lays out from the last of fresh_ on; from `met_after` on, until it meets fresh_after_.
    void LayOutFresh(std::size_t met_after) {
        for (std::size_t start = fresh_.back();;) {
            start = layout_.NextLineStart(WholeText{text_}, start);
            if (start == LineLayout::kNoLine) break;
            const auto met = std::lower_bound(fresh_after_.begin(), fresh_after_.end(), start);
            if (start >= met_after && met != fresh_after_.end() && *met == start) {
                fresh_.insert(fresh_.end(), met, fresh_after_.end());
                break;
            }
            fresh_.push_back(start);
        }
        fresh_after_.clear();
    }

    void Compare(bool all_lines, std::size_t pointed) {
        if (!failure_.empty()) return;
        if (!Same(model_.Bytes(), text_)) return Fail("the text differs");
        if (!Same(clipboard_, clipboard_text_)) {
            return Fail("a shared copy changed with the text");
        }
        const EditHistory& history = model_.History();
        if (history.UndoCount() != done_ || history.RedoCount() != steps_.size() - done_) {
            return Fail("the steps differ");
        }
        if (history.HeldBytes() != Held()) return Fail("what the steps hold differs");
        if (model_.Saved() != Saved()) return Fail("the save point differs");
        for (std::size_t i = 0; i < steps_.size(); ++i) {
            const EditStep& step = history.At(i);
            const PlainStep& plain = steps_[i];
            if ((step.kind == EditStep::Kind::kMove) != plain.move) return Fail("a step differs");
            if (plain.move) continue;
            if (step.expendable != plain.expendable || model_.Kept(step) != Kept(plain) ||
                !Same(step.held, plain.out)) {
                return Fail("a step differs");
            }
        }
        std::size_t kept = 0;
        for (const PlainStep& step : steps_) {
            if (Before(step) && Kept(step)) kept += step.out.size();
        }
        if (model_.KeptBeforeSearch() != kept) return Fail("the text kept for the user differs");
        if (!steps_.empty() && text_.size() + Held() > Budget()) {
            return Fail("text and history passed the budget");
        }
        breaks_.clear();
        for (std::size_t at = text_.find('\r'); at != std::string::npos;
             at = text_.find('\r', at + 1)) {
            breaks_.push_back(at);
        }
        for (std::size_t at = 0; at <= text_.size(); at += 1 + text_.size() / 7) {
            if (at > 0 && text_[at - 1] == '\r') continue;
            const auto after = std::lower_bound(breaks_.begin(), breaks_.end(), at);
            if (model_.Bytes().ParagraphStart(at) !=
                    (after == breaks_.begin() ? 0 : *(after - 1) + 2) ||
                model_.Bytes().ParagraphEnd(at) !=
                    (after == breaks_.end() ? text_.size() : *after)) {
                return Fail("a paragraph's bounds differ");
            }
        }
        CompareLines(all_lines, pointed);
    }

    // The text as one piece, as the layout reads bytes: a fresh layout reads no block.
    struct WholeText {
        std::string_view bytes;
        std::size_t size() const { return bytes.size(); }
        template <typename Visit>
        void ForEachPiece(std::size_t from, std::size_t to, Visit&& visit) const {
            if (from < to) visit(bytes.substr(from, to - from), from);
        }
    };

    static bool Same(const BlockBytes& bytes, std::string_view plain) {
        if (bytes.size() != plain.size()) return false;
        bool same = true;
        bytes.ForEachPiece(0, bytes.size(), [&](std::string_view piece, std::size_t offset) {
            return same = piece == plain.substr(offset, piece.size());
        });
        return same;
    }

    void CompareLines(bool all_lines, std::size_t pointed) {
        const std::vector<std::size_t>& fresh = fresh_;
        const std::vector<KnownLines::Mark>& marks = lines_.Known().Marks();
        for (std::size_t i = 0, line = 0; i < marks.size(); ++i) {
            // Both ascend: the line starts are walked once.
            while (line < fresh.size() && fresh[line] < marks[i].offset) ++line;
            if (marks[i].verified && (line == fresh.size() || fresh[line] != marks[i].offset)) {
                return Fail("a verified mark is no line start");
            }
            // Else laying out would never come back to the marks after it.
            if (i + 1 < marks.size() && marks[i].verified && marks[i].laid_out &&
                !marks[i + 1].verified) {
                return Fail("a laid-out line start leads to a mark not known as one");
            }
        }
        // Wherever the lines are, a guess or not, they are one layout: each line holds what it
        // is asked for, and the lines before and after it agree.  Asked where the last change
        // began and ended, and where the script points.
        const TextModel::Change& change = model_.LastChange();
        ViewLines::Line line{1, 0};  // none yet
        for (const std::size_t asked : {change.at, change.at + change.inserted, pointed}) {
            const std::size_t at = std::min(asked, text_.size());
            if (line.start <= at && at < line.end) continue;  // that line was just compared
            line = lines_.LineAt(at);
            if (line.start > at || (at >= line.end && !(at == text_.size() && line.end == at))) {
                return Fail("a line does not hold its offset");
            }
            if (const auto after = lines_.LineAfter(line)) {
                if (after->start != line.end || lines_.LineBefore(*after) != line) {
                    return Fail("neighbouring lines disagree");
                }
            }
            if (!lines_.Exact(at)) continue;
            const auto found = std::upper_bound(fresh.begin(), fresh.end(), at) - 1;
            const std::size_t end = found + 1 == fresh.end() ? text_.size() : *(found + 1);
            if (line.start != *found || line.end != end) {
#ifdef BUKVOTOK_CHECK_DEBUG
                std::fprintf(stderr, "at %zu: line [%zu,%zu) fresh [%zu,%zu) size %zu width %g\n",
                             at, line.start, line.end, *found, end, text_.size(),
                             double(metrics_.width));
                for (const KnownLines::Mark& mark : lines_.Known().Marks()) {
                    std::fprintf(stderr, "mark %zu %d %d\n", mark.offset, mark.verified,
                                 mark.laid_out);
                }
                for (std::size_t f : fresh) std::fprintf(stderr, "%zu ", f);
                std::fprintf(stderr, "\n");
#endif
                return Fail("an exact line differs");
            }
        }
        if (!all_lines) return;
        // All the lines as they are, before everything is laid out: each starts where the one
        // before it ends, and each that is exact is a line of the fresh layout.
        ViewLines::Line shown = lines_.LineAt(0);
        for (std::size_t count = 0;; ++count) {
            if (lines_.Exact(shown.start)) {
                const auto found = std::lower_bound(fresh.begin(), fresh.end(), shown.start);
                if (found == fresh.end() || *found != shown.start ||
                    shown.end != (found + 1 == fresh.end() ? text_.size() : *(found + 1))) {
                    return Fail("an exact line differs");
                }
            }
            const std::optional<ViewLines::Line> next = lines_.LineAfter(shown);
            if (!next) break;
            if (next->start != shown.end) return Fail("neighbouring lines disagree");
            if (count > text_.size()) return Fail("the lines do not end");
            shown = *next;
        }
        lines_.Finish();
        std::vector<std::size_t> starts{lines_.LineAt(0).start};
        for (std::optional<ViewLines::Line> next = lines_.LineAt(0);
             (next = lines_.LineAfter(*next));) {
            starts.push_back(next->start);
        }
        if (starts != fresh) {
#ifdef BUKVOTOK_CHECK_DEBUG
            std::fprintf(stderr, "text size %zu width %g\n", text_.size(), double(metrics_.width));
            for (std::size_t i = 0; i < std::max(starts.size(), fresh.size()); ++i) {
                std::fprintf(stderr, "%zu: %zu %zu\n", i, i < starts.size() ? starts[i] : 0,
                             i < fresh.size() ? fresh[i] : 0);
            }
            for (const KnownLines::Mark& mark : lines_.Known().Marks()) {
                std::fprintf(stderr, "mark %zu %d %d\n", mark.offset, mark.verified, mark.laid_out);
            }
#endif
            return Fail("the lines differ from a fresh layout");
        }
    }

    void Fail(const char* what) {
        if (failure_.empty()) failure_ = what;
    }

    TextModel model_;
    ViewLines lines_;
    LineLayout layout_;
    std::vector<std::size_t> fresh_{0};  // the lines of a fresh layout of text_
    std::vector<std::size_t> fresh_after_;
    std::vector<std::size_t> breaks_;  // where the text's CRs are
    BlockBytes clipboard_;
    std::string clipboard_text_;
    TextMetrics metrics_;
    std::string text_;
    std::vector<PlainStep> steps_;
    std::size_t done_ = 0;
    std::size_t capacity_ = TextModel::kMaxSize;
    std::uint64_t stamp_ = 0;
    std::vector<std::uint64_t> marks_;
    bool merging_ = false;
    bool just_undone_ = false;
    std::uint64_t dropped_ = 0;  // steps dropped from the oldest end
    std::uint64_t saved_state_ = 0;
    std::uint64_t saved_by_ = 0;  // the save that saved it; 0: none
    std::uint64_t saves_ = 0;
    std::string failure_;
};

}  // namespace bukvotok::check
