#include "WindowSearchHost.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>

#include "Cp1251.h"
#include "ResultsBox.h"

namespace bukvotok {

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

void WindowSearchHost::SetStatus(std::string_view text) { ShowStatus(status_, text); }

bool WindowSearchHost::StopRequested() {
    if (stop_box_.isChecked()) return true;
    // When no walk can start, no step of the search ever lets the user act, and the passes
    // would spin a core while nothing can be found: wait here for the user instead.
    if (!dictionary_.CanStartWalk()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return stop_box_.isChecked();
}

std::string WindowSearchHost::GetResultsText() { return results_.ResultsText(); }

void WindowSearchHost::SetResultsText(std::string text) { results_.SetResultsText(text); }

void WindowSearchHost::AppendToResults(std::string_view word) {
    appended_.assign(1, ' ');
    appended_ += word;
    results_.AppendResultsText(appended_);
}

void WindowSearchHost::ProcessPendingEvents() {
    if (++steps_since_clock_ < kStepsPerClockRead) return;
    steps_since_clock_ = 0;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_pump_ < kPumpInterval) return;
    last_pump_ = now;
    QCoreApplication::processEvents();
}

}  // namespace bukvotok
