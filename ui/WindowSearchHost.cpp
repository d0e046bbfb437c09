#include "WindowSearchHost.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <utility>

#include "Cp1251.h"
#include "ResultsBox.h"

namespace bukvotok {

namespace {

std::chrono::steady_clock::time_point SteadyNow() { return std::chrono::steady_clock::now(); }

PumpClock pump_clock = &SteadyNow;

}  // namespace

PumpClock SetPumpClock(PumpClock clock) {
    return std::exchange(pump_clock, clock ? clock : &SteadyNow);
}

QString FromCp1251(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) text += QChar(Cp1251ToUnicode(static_cast<unsigned char>(c)));
    return text;
}

void ShowStatus(QLabel& status, std::string_view text) {
    status.setText(FromCp1251(text));
    status.adjustSize();
}

WindowSearchHost::WindowSearchHost(QLabel& status, QCheckBox& stop_box, ResultsBox& results,
                                   const DictionaryList& dictionary)
    : status_(status),
      results_(results),
      dictionary_(dictionary),
      stop_box_checked_(stop_box.isChecked()) {
    stop_box_watch_ = QObject::connect(&stop_box, &QCheckBox::toggled,
                                       [this](bool checked) { stop_box_checked_ = checked; });
    results_.BeginSearch();
}

WindowSearchHost::~WindowSearchHost() {
    results_.EndSearch();
    QObject::disconnect(stop_box_watch_);
}

void WindowSearchHost::SetStatus(std::string_view text) { ShowStatus(status_, text); }

bool WindowSearchHost::StopRequested() {
    if (stop_box_checked_) return true;
    if (dictionary_.CanStartWalk()) return false;
    WaitForTheUser();
    return stop_box_checked_;
}

// When no walk can start, no step of the search ever lets the user act, and the passes would
// spin a core while nothing can be found: wait here for the user instead.
void WindowSearchHost::WaitForTheUser() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::string WindowSearchHost::GetResultsText() { return results_.ResultsText(); }

void WindowSearchHost::SetResultsText(std::string text) { results_.SetResultsText(text); }

void WindowSearchHost::AppendToResults(std::string_view word) { results_.AppendWord(word); }

void WindowSearchHost::AppendWords(WordsFound& words) {
    results_.AppendWords(words.spaced, words.taken);
}

void WindowSearchHost::ProcessPendingEvents() {
    if (++steps_since_clock_ < kStepsPerClockRead) return;
    PumpWhenDue();
}

QuietCalls WindowSearchHost::QuietCallsAhead() {
    QuietCalls quiet;
    quiet.pumps = static_cast<std::uint64_t>(kStepsPerClockRead - 1 - steps_since_clock_);
    if (!stop_box_checked_ && dictionary_.CanStartWalk()) quiet.stop_questions = UINT64_MAX;
    quiet.append_bytes = results_.PlainAppendRoom();
    return quiet;
}

void WindowSearchHost::CountQuietCalls(QuietCalls left_out) {
    steps_since_clock_ += static_cast<int>(left_out.pumps);
}

void WindowSearchHost::PumpWhenDue() {
    steps_since_clock_ = 0;
    const auto now = pump_clock();
    if (now - last_pump_ < kPumpInterval) return;
    last_pump_ = now;
    QCoreApplication::processEvents();
}

}  // namespace bukvotok
