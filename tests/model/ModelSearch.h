// The search exactly as it is described in words: a recursive walk that asks the dictionary
// FindPrefix for every step and EntryAt at the end, and reads and rewrites the whole results
// text for every match.  It works on any dictionary with those two queries, so the fast search
// can be compared with it on the indexed store and the benchmarks can run it on the linear one.
// Recursion depth is the word's length: keep entries short.
#pragma once

#include <string>

#include "LetterGenerator.h"
#include "SearchHost.h"
#include "StatusTexts.h"

namespace bukvotok {

template <typename Dictionary>
class ModelSearch {
public:
    ModelSearch(SearchHost& host, const Dictionary& dictionary)
        : host_(host), dictionary_(dictionary) {}

    void Run() {
        host_.SetStatus(kSearchingStatus.View());
        host_.ProcessPendingEvents();
        for (;;) {
            word_.clear();
            letter_ = RandomLetter();
            if (dictionary_.FindPrefix(std::string(1, static_cast<char>(letter_))) != -1) {
                ExtendWord(letter_);
            }
            if (host_.StopRequested()) break;
        }
        host_.SetStatus(kStoppedStatus.View());
    }

private:
    void ExtendWord(int ch) {
        host_.ProcessPendingEvents();
        word_ += static_cast<char>(ch);
        letter_ = RandomLetter();
        if (dictionary_.FindPrefix(word_ + static_cast<char>(letter_)) != -1) {
            ExtendWord(letter_);
            return;
        }
        const auto entry = dictionary_.EntryAt(dictionary_.FindPrefix(word_));
        if (entry == word_) host_.SetResultsText(host_.GetResultsText() + " " + word_);
    }

    SearchHost& host_;
    const Dictionary& dictionary_;
    std::string word_;
    int letter_ = 0;
};

}  // namespace bukvotok
