// What the main window's behaviour (MainWindow) asks of a toolkit: the face shows, asks and
// lets events in; the behaviour decides.  Abstract so that each toolkit supplies it and a test
// fakes it.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "Answer.h"
#include "NativePath.h"

namespace bukvotok {

// The part a running search needs.
class SearchFace {
public:
    virtual ~SearchFace() = default;

    // The status line's text, Windows-1251 bytes; the line fits it.
    virtual void ShowStatus(std::string_view text) = 0;
    // Handles every waiting event, then returns.  Any command may run in here.
    virtual void ProcessPendingEvents() = 0;
    // Waits for at least one event and handles it with the others waiting.
    virtual void WaitForEvents() = 0;
};

class WindowFace : public SearchFace {
public:
    // The file dialog, offering `offered`: the confirmed path, made full, or nothing when the
    // user cancelled.
    virtual std::optional<NativePath> AskForPath(const NativePath& offered) = 0;
    // Whether to write the results over the loaded dictionary's file, which `path` names.
    virtual bool AskToReplaceDictionary(const NativePath& path) = 0;
    // The questions before closing, their texts UTF-8.  AskQuestion is true for "Да".
    virtual Answer AskYesNoCancel(std::string_view question) = 0;
    virtual bool AskQuestion(std::string_view question) = 0;
    // Writes the pieces to the file, in order, with a sign of life when it takes long; raises
    // what SaveResultsFile raises.
    virtual void SaveWithProgress(const NativePath& path,
                                  std::span<const std::string_view> pieces) = 0;
    // The error box; the message is bytes (ASCII, a path in the system's encoding).
    virtual void ShowError(std::string_view message) = 0;
    // Closes the window as its close box does (which asks MainWindow::CloseAsked).
    virtual void CloseWindow() = 0;
};

}  // namespace bukvotok
