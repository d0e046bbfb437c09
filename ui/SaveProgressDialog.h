// A long save's sign of life.  Writing gigabytes of results takes seconds; when a save has run
// for about half a second, a small dialog over the window shows how much of the text is in the
// file, and the window repaints behind it between chunks of the writing.  Handing gigabytes of
// copied results to another program shows the same dialog with its own words.
//
// While it is up nothing else runs: the dialog is modal to the whole program, so no click or key
// reaches the window, no command starts and the box cannot be edited; the text being written
// stays as it was.  It has no cancel button, and neither Escape nor the window manager's close
// takes it away: a save stopped half-way would leave a file that looks like the results and
// lacks their end.  A save run inside a running search holds the search where it let events in,
// as any command does, until the save has ended.
#pragma once

#include <QDialog>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class QLabel;
class QProgressBar;

namespace bukvotok {

class SaveProgressDialog : public QDialog {
    Q_OBJECT

public:
    // `doing` as the label begins, e.g. "Сохранение найденного в файл".
    SaveProgressDialog(QWidget* parent, std::uint64_t total, const QString& doing);

    // "Сохранение найденного в файл: 512 из 2048 МБ", and the bar.
    void ShowWritten(std::uint64_t written);

    // Escape: the save goes on, and so does the dialog.
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* label_;
    QProgressBar* bar_;
    std::uint64_t total_;
    QString doing_;
};

// The dialog beside any long task of the window's thread that reports how far it has come:
// after the delay it shows over `window`, and from then on each report lets events in.  With
// no window it shows nothing and lets nothing in.
class ProgressAfterDelay {
public:
    ProgressAfterDelay(QWidget* window, QString doing);
    ~ProgressAfterDelay();
    ProgressAfterDelay(const ProgressAfterDelay&) = delete;
    ProgressAfterDelay& operator=(const ProgressAfterDelay&) = delete;

    void Report(std::uint64_t done, std::uint64_t total);

private:
    QWidget* window_;
    QString doing_;
    std::chrono::steady_clock::time_point start_;
    std::unique_ptr<SaveProgressDialog> dialog_;
};

// SaveResultsFile, with the progress dialog over `window` once the save has run for the delay.
// Events are let in only while the dialog is up.  Raises what SaveResultsFile raises, with the
// dialog already gone.
void SaveWithProgress(QWidget& window, const std::string& path,
                      std::span<const std::string_view> pieces);

// How long a save or a conversion runs before the dialog shows: half a second, or what a test sets.
// Returns the previous delay.
std::chrono::milliseconds SetSaveProgressDelay(std::chrono::milliseconds delay);

}  // namespace bukvotok
