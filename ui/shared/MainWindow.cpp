#include "MainWindow.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "CloseQuestion.h"
#include "MatchSearch.h"
#include "ReportErrors.h"
#include "ResultsErrors.h"
#include "StatusTexts.h"
#include "WindowFace.h"
#include "WindowResults.h"
#include "WindowSearchHost.h"

namespace bukvotok {

namespace {

// BUKVOTOK_RESULTS_LIMIT: bytes, digits only.  A smaller box, to reach what happens when it is
// full in seconds rather than in an hour.
std::optional<std::size_t> ResultsLimitFromEnvironment() {
    const char* const value = std::getenv("BUKVOTOK_RESULTS_LIMIT");
    if (value == nullptr || *value == '\0') return std::nullopt;
    const char* const end = value + std::strlen(value);
    std::size_t limit = 0;
    const auto [stop, error] = std::from_chars(value, end, limit);
    if (error != std::errc() || stop != end) return std::nullopt;
    return limit;
}

}  // namespace

MainWindow::MainWindow(WindowFace& face, WindowResults& results) : face_(face), results_(results) {
    if (const auto limit = ResultsLimitFromEnvironment()) {
        results_.SetCapacity(std::min(*limit, results_.Capacity()));
    }
}

template <typename Command>
void MainWindow::Report(Command&& command) noexcept {
    ReportErrors(std::forward<Command>(command),
                 [this](std::string_view message) { face_.ShowError(message); });
}

void MainWindow::SetStatus(std::string_view text) { face_.ShowStatus(text); }

void MainWindow::Button2Click() noexcept {
    Report([this] {
        SetStatus(kLoadingStatus.View());
        // The new status shows before the dialog opens.
        face_.ProcessPendingEvents();
        if (const auto path = AskForPath()) {
            dictionary_.LoadDictionary(*path, &dictionary_file_);
        }
        SetStatus(kLoadedStatus.View());
    });
}

void MainWindow::Button4Click() noexcept {
    ++running_searches_;
    Report([this] { Search(); });
    --running_searches_;
    // A close asked for during the search takes effect once no search runs any more.
    if (running_searches_ == 0 && close_requested_) {
        close_requested_ = false;
        face_.CloseWindow();
    }
}

void MainWindow::Search() {
    WindowSearchHost host(face_, results_, dictionary_, stop_box_checked_);
    try {
        RunSearch(host, dictionary_);
    } catch (const ResultsFullError&) {
        // The box's own limit is no fault of the search: it has stopped, and says so.  Any
        // other error leaves the status as it stood.
        SetStatus(kStoppedStatus.View());
        throw;
    } catch (const ResultsKeptError&) {
        // The user chose to keep removed text over searching on: stopped, as asked.
        SetStatus(kStoppedStatus.View());
    }
}

void MainWindow::Button5Click() noexcept {
    Report([this] { SaveResults(); });
}

bool MainWindow::SaveResults() {
    const auto path = AskForPath();
    if (!path) return false;
    if (dictionary_file_ && IdentityOf(*path) == dictionary_file_ &&
        !face_.AskToReplaceDictionary(*path)) {
        return false;
    }
    // What an earlier save put in this file is gone from it once the file is written, whether
    // the save succeeds or not.
    if (const auto before = IdentityOf(*path)) {
        std::erase_if(saves_, [&](const auto& save) {
            if (save.first != *before) return false;
            results_.ForgetSave(save.second);
            return true;
        });
    }
    const std::vector<std::string_view> pieces = results_.ResultsPieces();
    face_.SaveWithProgress(*path, pieces);
    const std::uint64_t save = results_.MarkSaved();
    if (const auto saved = IdentityOf(*path)) saves_.emplace_back(*saved, save);
    return true;
}

std::optional<NativePath> MainWindow::AskForPath() {
    auto path = face_.AskForPath(last_path_);
    if (path) last_path_ = *path;
    return path;
}

void MainWindow::Button1Click() noexcept {
    Report([this] { results_.Clear(); });
}

bool MainWindow::CloseAsked() noexcept {
    // Closing inside a running search would leave it running in a hidden window; instead the
    // window stays until the stop box ends the search.
    if (running_searches_ > 0) {
        close_requested_ = true;
        return false;
    }
    bool may_close = false;
    Report([&] { may_close = MayClose(); });
    return may_close;
}

bool MainWindow::MayClose() {
    if (close_agreed_at_ == results_.Changes()) return true;
    switch (AskBeforeClosing(results_, face_)) {
        case CloseAnswer::kClose:
            return true;
        case CloseAnswer::kKeepOpen:
            return false;
        case CloseAnswer::kSaveFirst:
            break;
    }
    // A save that fails, or is cancelled, keeps the window open.
    bool saved = false;
    Report([&] { saved = SaveResults(); });
    return saved;
}

void MainWindow::CommitData(const SessionEnd& session) noexcept {
    Report([&] {
        // Without leave to ask, nothing can be asked or saved: the session manager decides.
        if (!ClosingLosesResults(results_) || !session.allows_interaction()) return;
        const bool may_close = MayClose();
        session.release();
        if (!may_close) {
            session.cancel();
            return;
        }
        // The close that ends the session asks no more, unless the results change meanwhile.
        close_agreed_at_ = results_.Changes();
    });
}

}  // namespace bukvotok
