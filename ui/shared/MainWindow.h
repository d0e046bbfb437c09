// The main window's behaviour, written once for every face: its four commands and their
// statuses, a search inside a search, a close asked during a search, the question before
// closing and the save before it, the logout, the question before a save replaces the loaded
// dictionary, and one error report for each command, at its dispatch.  The face (WindowFace)
// turns its events into these calls and shows what they ask; the results box is the face's
// too (WindowResults).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "DictionaryList.h"
#include "FileIdentity.h"
#include "WindowCommands.h"

namespace bukvotok {

class WindowFace;
class WindowResults;

class MainWindow : public WindowCommands {
public:
    // Both must outlive the window.  The results box takes the capacity that
    // BUKVOTOK_RESULTS_LIMIT sets, if smaller than its own.
    MainWindow(WindowFace& face, WindowResults& results);

    const DictionaryList& Dictionary() const { return dictionary_; }

    // Each runs inside its own error report: an error ends the command, is shown once, and
    // whatever the command ran inside goes on.
    void Button2Click() noexcept override;  // load a dictionary
    void Button4Click() noexcept override;  // search
    void Button5Click() noexcept override;  // save the results
    void Button1Click() noexcept override;  // clear the results

    // The face's stop box changed: the search reads its state from here.
    void StopBoxChanged(bool checked) { stop_box_checked_ = checked; }
    bool StopBoxChecked() const { return stop_box_checked_; }

    // The user asked to close the window (its close box, the system's menu, Alt+F4): whether
    // it may close now.  During a search it stays, and closes, asking as any close, once no
    // search runs any more; results that would be lost are asked about first, and saved when
    // the user says so.
    bool CloseAsked() noexcept;

    // The desktop's logout, as far as the session manager lets the window take part in it.
    struct SessionEnd {
        std::function<bool()> allows_interaction;  // whether the user may be asked; waits for leave
        std::function<void()> release;             // the asking is done
        std::function<void()> cancel;              // the user keeps the window: no logout
    };
    // Asks the same as closing the window, where the session manager allows it.
    void CommitData(const SessionEnd& session) noexcept;

private:
    void SetStatus(std::string_view text);
    void Search();
    // Button5Click's work: true once the text is in the file.
    bool SaveResults();
    bool MayClose();
    // The one file dialog of the window, shared by loading and saving: it offers the path last
    // confirmed in it, by either command.
    std::optional<NativePath> AskForPath();
    template <typename Command>
    void Report(Command&& command) noexcept;

    WindowFace& face_;
    WindowResults& results_;
    DictionaryList dictionary_;
    // The file the last load opened, which a save asks before replacing.
    std::optional<FileIdentity> dictionary_file_;
    NativePath last_path_;
    bool stop_box_checked_ = false;
    int running_searches_ = 0;
    bool close_requested_ = false;
    // The last save to each file, whose number the results box takes "saved" back by when
    // another text goes over that file.
    std::vector<std::pair<FileIdentity, std::uint64_t>> saves_;
    // The results' changes when the user last agreed to close, at a logout: the close that
    // follows asks again only if they changed since.
    std::optional<std::uint64_t> close_agreed_at_;
};

}  // namespace bukvotok
