#include "ResultsOutput.h"

namespace bukvotok {

void ResultsOutput::Flush() {
    if (buffer_.empty()) return;
    if (beside_ != nullptr) beside_->BeforeWords();
    const bool any_taken = WriteBuffer();
    buffer_.clear();
    if (beside_ != nullptr && any_taken) beside_->AfterWords();
}

}  // namespace bukvotok
