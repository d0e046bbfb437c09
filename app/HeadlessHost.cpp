#include "HeadlessHost.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "Cp1251.h"
#include "StopSignal.h"

namespace bukvotok {

namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(100);
constexpr auto kProgressDelay = std::chrono::seconds(1);
constexpr auto kProgressInterval = std::chrono::milliseconds(500);

}  // namespace

HeadlessHost::HeadlessHost(const HeadlessOptions& options, ResultsOutput& output,
                           StderrLine& stderr_line, bool show_progress)
    : options_(options),
      output_(output),
      stderr_line_(stderr_line),
      show_progress_(show_progress),
      pass_limit_(options.max_passes != 0 ? options.max_passes : UINT64_MAX) {
    start_ = last_flush_ = last_progress_ = std::chrono::steady_clock::now();
}

bool HeadlessHost::StopRequested() {
    ++passes_;
    if ((passes_ & kTickMask) == 0) Tick();
    return passes_ >= pass_limit_ || ended_ || StopSignalArrived();
}

QuietCalls HeadlessHost::QuietCallsAhead() {
    QuietCalls quiet;
    quiet.pumps = kTickMask - (pumps_ & kTickMask);
    if (!ended_ && !StopSignalArrived() && passes_ + 1 < pass_limit_) {
        quiet.stop_questions =
            std::min(pass_limit_ - passes_ - 1, kTickMask - (passes_ & kTickMask));
    }
    return quiet;
}

void HeadlessHost::CountQuietCalls(QuietCalls left_out) {
    pumps_ += left_out.pumps;
    passes_ += left_out.stop_questions;
}

void HeadlessHost::SetResultsText(std::string text) {
    output_.Write(text);
    NoteOutputEnds();
}

void HeadlessHost::AppendToResults(std::string_view word) {
    ++matches_;
    output_.Write(" ");
    if (options_.utf8) {
        utf8_word_ = Cp1251ToUtf8(word);
        output_.Write(utf8_word_);
    } else {
        output_.Write(word);
    }
    NoteOutputEnds();
}

void HeadlessHost::NoteOutputEnds() {
    if ((options_.max_matches != 0 && matches_ >= options_.max_matches) || output_.Closed()) {
        ended_ = true;
    }
}

SearchFigures HeadlessHost::Figures() const {
    SearchFigures figures;
    figures.passes = passes_;
    // One letter opens every pass; every step of a walk pumps once and draws one more.
    figures.letters = passes_ + (pumps_ > 0 ? pumps_ - 1 : 0);
    figures.matches = matches_;
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    return figures;
}

void HeadlessHost::Tick() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_flush_ >= kFlushInterval) {
        output_.Flush();
        NoteOutputEnds();
        last_flush_ = now;
    }
    if (show_progress_ && now - start_ >= kProgressDelay &&
        now - last_progress_ >= kProgressInterval) {
        const SearchFigures figures = Figures();
        char text[128];
        std::snprintf(text, sizeof text,
                      "%" PRIu64 " passes, %" PRIu64 " letters, %" PRIu64 " matches, %.0f s",
                      figures.passes, figures.letters, figures.matches, figures.seconds);
        stderr_line_.ShowProgress(text);
        last_progress_ = now;
    }
}

}  // namespace bukvotok
