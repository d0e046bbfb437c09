// The main window: the dictionary loader, the search, the results box and its two commands,
// and two links.  The controls, their places and texts and the bindings of the four buttons to
// the handlers below come from the layout (resources/Unit1.ui).  What the commands do is
// MainWindow's; the window is its Qt face.
#pragma once

#include <QWidget>
#include <memory>

#include "MainWindow.h"
#include "WindowFace.h"

namespace Ui {
class TForm1;
}

namespace bukvotok {
class OpenFileDialog;
}

class TForm1 : public QWidget, public bukvotok::WindowFace {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    const bukvotok::DictionaryList& Dictionary() const { return window_->Dictionary(); }

    using SessionEnd = bukvotok::MainWindow::SessionEnd;
    // Asks the same as closing the window, where the session manager allows it.
    void CommitData(const SessionEnd& session) { window_->CommitData(session); }

public slots:
    void Button2Click() { window_->Button2Click(); }  // load a dictionary
    void Button4Click() { window_->Button4Click(); }  // search
    void Button5Click() { window_->Button5Click(); }  // save the results
    void Button1Click() { window_->Button1Click(); }  // clear the results

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // --- WindowFace ---
    void ShowStatus(std::string_view text) override;
    void ProcessPendingEvents() override;
    void WaitForEvents() override;
    std::optional<bukvotok::NativePath> AskForPath(const bukvotok::NativePath& offered) override;
    bool AskToReplaceDictionary(const bukvotok::NativePath& path) override;
    bukvotok::Answer AskYesNoCancel(std::string_view question) override;
    bool AskQuestion(std::string_view question) override;
    void SaveWithProgress(const bukvotok::NativePath& path,
                          std::span<const std::string_view> pieces) override;
    void ShowError(std::string_view message) override;
    void CloseWindow() override { close(); }

    std::unique_ptr<Ui::TForm1> ui_;
    bukvotok::OpenFileDialog* OpenDialog1;
    std::unique_ptr<bukvotok::MainWindow> window_;
};
