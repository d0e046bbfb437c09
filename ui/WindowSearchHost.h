// The window as the search's host: the status line, the stop box, the results box and Qt's
// event loop.
#pragma once

#include <QString>

#include "DictionaryList.h"
#include "SearchHost.h"

class QCheckBox;
class QLabel;

namespace bukvotok {

class ResultsBox;

class WindowSearchHost : public SearchHost {
public:
    WindowSearchHost(QLabel& status, QCheckBox& stop_box, ResultsBox& results,
                     const DictionaryList& dictionary)
        : status_(status), stop_box_(stop_box), results_(results), dictionary_(dictionary) {}

    void SetStatus(std::string_view text) override;
    bool StopRequested() override;
    std::string GetResultsText() override;
    void SetResultsText(std::string text) override;
    void AppendToResults(std::string_view word) override;
    void ProcessPendingEvents() override;

private:
    QLabel& status_;
    QCheckBox& stop_box_;
    ResultsBox& results_;
    const DictionaryList& dictionary_;
    std::string appended_;
};

// The status texts and captions are Windows-1251 bytes; widgets take Unicode.
QString FromCp1251(std::string_view bytes);

// The status line fits its text, so a longer status widens it.
void ShowStatus(QLabel& status, std::string_view text);

}  // namespace bukvotok
