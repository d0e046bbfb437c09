#include "MatchSearch.h"

#include <algorithm>

#include "LetterGenerator.h"
#include "StatusTexts.h"

namespace bukvotok {

void RunSearch(SearchHost& host, const DictionaryList& dictionary) {
    MatchSearch(host, dictionary).Run();
}

MatchSearch::MatchSearch(SearchHost& host, const DictionaryList& dictionary)
    : host_(host),
      dictionary_(dictionary),
      generation_(dictionary.Generation()),
      letters_(dictionary.Letters().Read()),
      passes_(dictionary.Passes().Read()),
      ahead_(std::make_unique<Ahead>()) {}

void MatchSearch::Run() {
    ahead_->letters.DrawFrom(RandomState());
    try {
        Passes();
    } catch (...) {
        // An error of the search's own (no entry begins with the word after a load, no room
        // for the word): the calls left out are counted and the generator stands where the
        // letters read leave it.  An error from a call of the host leaves it where the call did.
        if (!in_call_) {
            HandOverHeld();  // found before the error; one that fails to go in raises instead
            CountLeftOut();
            SetRandomState(ahead_->letters.State());
        }
        throw;
    }
}

void MatchSearch::Passes() {
    SetStatus(kSearchingStatus.View());
    BeforeCall();
    host_.ProcessPendingEvents();
    AfterCall();
    while (!PlainPasses() && !Pass()) {
    }
    SetStatus(kStoppedStatus.View());
}

bool MatchSearch::PlainPasses() {
    LettersAhead& letters = ahead_->letters;
    PassChain& chain = ahead_->chain;
    const unsigned char* const places = letters.Places();
    while (quiet_.stop_questions > 0) {
        std::size_t at = letters.At();
        if (at >= PassChain::kStarts) {
            letters.DrawFrom(letters.State());
            at = 0;
        }
        if (ahead_->chain_batch != letters.Batch()) {
            ahead_->chain_batch = letters.Batch();
            chain.Begin(places);
        }
        // Each pass of length n makes n - 1 pumps and one stop question.  Up to `limit` no
        // count needs checking: a pass that starts before it ends within four letters, and
        // neither the pumps nor the passes can outnumber the letters.
        const std::uint64_t quiet = std::min(quiet_.pumps, quiet_.stop_questions);
        std::size_t limit = at;
        if (quiet > 3) {
            limit += static_cast<std::size_t>(
                std::min<std::uint64_t>(quiet - 3, PassChain::kStarts - at));
        }
        const PassChain::Stretch stretch = chain.Follow(passes_, places, at, limit);
        std::uint64_t passes = stretch.passes;
        std::uint64_t pumps = stretch.end - at - passes;
        // Then pass by pass, counting.
        std::size_t end = stretch.end;
        bool walk = stretch.walk;
        while (!walk && end < PassChain::kStarts && passes < quiet_.stop_questions) {
            const unsigned char length =
                passes_.LengthOf(PassTable::View::Code(places + end), places[end + 3]);
            if (!PassTable::IsPlain(length)) {
                walk = true;
            } else if (pumps + length - 1 <= quiet_.pumps) {
                pumps += length - 1;
                end += length;
                ++passes;
            } else {
                break;
            }
        }
        letters.MoveTo(end);
        quiet_.pumps -= pumps;
        quiet_.stop_questions -= passes;
        left_out_.pumps += pumps;
        left_out_.stop_questions += passes;
        if (!walk) {
            if (end < PassChain::kStarts) return false;
            continue;
        }
        // A pass that records its word or goes on past four letters.
        const unsigned char table_length =
            passes_.LengthOf(PassTable::View::Code(places + end), places[end + 3]);
        PassWalked walked{table_length & PassTable::kLengthBits, true};
        if (table_length == PassTable::kGoesOn) walked = WalkOn(end);
        const std::size_t length = walked.length;
        if (length == 0 || length - 1 > quiet_.pumps || quiet_.stop_questions == 0) return false;
        quiet_.pumps -= length - 1;
        left_out_.pumps += length - 1;
        letters.MoveTo(end + length);
        if (walked.records) {
            word_.resize(length - 1);
            for (std::size_t i = 0; i + 1 < length; ++i) {
                word_[i] = static_cast<char>(FirstLetterCode + places[end + i]);
            }
            AppendResult(word_);
        }
        if (StopAsked()) return true;
    }
    return false;
}

MatchSearch::PassWalked MatchSearch::WalkOn(std::size_t at) const {
    const unsigned char* const places = ahead_->letters.Places() + at;
    const auto letter = [places](std::size_t i) {
        return static_cast<unsigned char>(FirstLetterCode + places[i]);
    };
    const std::size_t available = LettersAhead::kCount - at;
    if (available < 5) return PassWalked{};
    // Four letters that begin some entry, as the table said.
    const std::uint32_t four = passes_.Four(PassTable::View::Code(places), places[3]);
    const LetterTable::Facts facts = letters_.OfFour(four);
    if (!facts.Continues(letter(4))) return PassWalked{5, facts.IsExact()};
    const PrefixIndex& index = dictionary_.Index();
    const EntryTable& entries = dictionary_.Entries();
    PrefixIndex::Cursor cursor = index.StepSmallLetter(entries, letters_.At(four), letter(4));
    std::size_t next = 5;
    for (; next < available; ++next) {
        const PrefixIndex::Cursor longer = index.StepSmallLetter(entries, cursor, letter(next));
        if (!longer.Valid()) break;
        cursor = longer;
    }
    if (next == available) return PassWalked{};  // the pass goes on past the batch
    return PassWalked{static_cast<std::uint32_t>(next + 1), index.FirstEntryIsExact(cursor)};
}

bool MatchSearch::Pass() {
    const unsigned char first = ahead_->letters.Next();
    if (letters_.Of(LetterTable::kRoot).Continues(first)) ExtendWord(first);
    return StopAsked();
}

void MatchSearch::ExtendWord(unsigned char ch) {
    LettersAhead& letters = ahead_->letters;
    // For its first letters the walk holds the word as a code of the letter table and spells it
    // out only when it is found or when the walk goes on into the index's trie.
    LetterTable::Code code = LetterTable::View::After(LetterTable::kRoot, ch);
    unsigned char drawn = 0;
    for (std::uint32_t length = 1; length < LetterTable::kDepth; ++length) {
        if (Pump() && !letters_.Has(code)) EndWithoutEntry();
        drawn = letters.Next();
        const LetterTable::Facts facts = letters_.Of(code);
        if (!facts.Continues(drawn)) {
            if (facts.IsExact()) {
                Spell(code, length);
                AppendResult(word_);
            }
            return;
        }
        if (length + 1 < LetterTable::kDepth) code = LetterTable::View::After(code, drawn);
    }

    // The fourth letter: the word is the three letters of `code` and `fourth`.
    const unsigned char fourth = drawn;
    if (Pump() && !(letters_.Has(code) && letters_.Of(code).Continues(fourth))) {
        EndWithoutEntry();
    }
    const std::uint32_t four = letters_.Fourth(code, fourth);
    drawn = letters.Next();
    const LetterTable::Facts facts = letters_.OfFour(four);
    const bool goes_on = facts.Continues(drawn);
    if (!goes_on && !facts.IsExact()) return;
    Spell(code, LetterTable::kDepth - 1);
    word_ += static_cast<char>(fourth);
    if (!goes_on) {
        AppendResult(word_);
        return;
    }
    const PrefixIndex::Cursor next =
        dictionary_.Index().StepSmallLetter(dictionary_.Entries(), letters_.At(four), drawn);
    ExtendInTrie(next, drawn);
}

void MatchSearch::EndWithoutEntry() {
    ahead_->letters.Next();
    dictionary_.EntryAt(-1);
}

void MatchSearch::Spell(LetterTable::Code code, std::uint32_t length) {
    word_.resize(length);
    for (std::uint32_t i = length; i > 0; --i, code >>= 5) {
        word_[i - 1] = static_cast<char>(224u + (code & 31u));
    }
}

void MatchSearch::ExtendInTrie(PrefixIndex::Cursor cursor, unsigned char letter) {
    LettersAhead& letters = ahead_->letters;
    for (;;) {
        // The cursor is at word_ + letter, which is taken now.
        const bool loaded = Pump();
        word_ += static_cast<char>(letter);
        const PrefixIndex& index = dictionary_.Index();
        const EntryTable& entries = dictionary_.Entries();
        if (loaded) cursor = index.Seek(entries, word_);
        letter = letters.Next();
        if (cursor.Valid()) {
            const PrefixIndex::Cursor next = index.StepSmallLetter(entries, cursor, letter);
            if (next.Valid()) {
                cursor = next;
                continue;
            }
        }
        if (index.FirstEntry(cursor) < 0) dictionary_.EntryAt(-1);
        if (index.FirstEntryIsExact(cursor)) AppendResult(word_);
        return;
    }
}

bool MatchSearch::Pump() {
    if (quiet_.pumps > 0) {
        --quiet_.pumps;
        ++left_out_.pumps;
        return false;
    }
    BeforeCall();
    host_.ProcessPendingEvents();
    return AfterCall();
}

bool MatchSearch::StopAsked() {
    if (quiet_.stop_questions > 0) {
        --quiet_.stop_questions;
        ++left_out_.stop_questions;
        return false;
    }
    BeforeCall();
    const bool stop = host_.StopRequested();
    AfterCall();
    return stop;
}

void MatchSearch::AppendResult(std::string_view w) {
    if (w.size() < quiet_.append_bytes && held_.Fits(w.size())) {
        quiet_.append_bytes -= 1 + w.size();
        held_.Add(w, ahead_->letters.Here());
        return;
    }
    BeforeCall();
    host_.AppendToResults(w);
    AfterCall();
}

void MatchSearch::SetStatus(std::string_view text) {
    BeforeCall();
    host_.SetStatus(text);
    AfterCall();
}

void MatchSearch::CountLeftOut() {
    if (left_out_.pumps == 0 && left_out_.stop_questions == 0) return;
    const QuietCalls left_out = left_out_;
    left_out_ = QuietCalls{};
    host_.CountQuietCalls(left_out);
}

void MatchSearch::HandOverHeld() {
    if (held_.Empty()) return;
    WordsFound words{held_.Spaced()};
    in_call_ = true;
    try {
        host_.AppendWords(words);
    } catch (...) {
        SetRandomState(held_.StateAfterWordAt(words.taken));
        held_.Clear();
        throw;
    }
    in_call_ = false;
    held_.Clear();
}

void MatchSearch::BeforeCall() {
    HandOverHeld();
    CountLeftOut();
    SetRandomState(ahead_->letters.State());
    in_call_ = true;
}

bool MatchSearch::AfterCall() {
    in_call_ = false;
    // Another search ran in the call, or a test set the generator: its letters from here.
    if (RandomState() != ahead_->letters.State()) ahead_->letters.DrawFrom(RandomState());
    quiet_ = host_.QuietCallsAhead();
    return FollowLoad();
}

bool MatchSearch::FollowLoad() {
    if (dictionary_.Generation() == generation_) return false;
    generation_ = dictionary_.Generation();
    letters_ = dictionary_.Letters().Read();
    passes_ = dictionary_.Passes().Read();
    ahead_->chain.Forget(ahead_->letters.At());
    return true;
}

}  // namespace bukvotok
