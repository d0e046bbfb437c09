// The main window: the dictionary loader, the search, the results box and its two commands,
// and two links.  The controls, their places and texts and the bindings of the four buttons to
// the handlers below come from the layout (resources/Unit1.ui).
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "DictionaryList.h"
#include "FileIdentity.h"

namespace Ui {
class TForm1;
}

namespace bukvotok {
class OpenFileDialog;
}

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    const bukvotok::DictionaryList& Dictionary() const { return dictionary_; }

    // The desktop's logout, as far as the session manager lets the window take part in it.
    struct SessionEnd {
        std::function<bool()> allows_interaction;  // whether the user may be asked; waits for leave
        std::function<void()> release;             // the asking is done
        std::function<void()> cancel;              // the user keeps the window: no logout
    };
    // Asks the same as closing the window, where the session manager allows it.
    void CommitData(const SessionEnd& session);

public slots:
    void Button2Click();  // load a dictionary
    void Button4Click();  // search
    void Button5Click();  // save the results
    void Button1Click();  // clear the results

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetStatus(std::string_view text);
    // Button5Click's work: true once the text is in the file.
    bool SaveResults();
    // Whether the window may close now: results that would be lost are asked about first, and
    // saved when the user says so.
    bool MayClose();

    std::unique_ptr<Ui::TForm1> ui_;
    bukvotok::OpenFileDialog* OpenDialog1;
    bukvotok::DictionaryList dictionary_;
    // The file the last load opened, which a save asks before replacing.
    std::optional<bukvotok::FileIdentity> dictionary_file_;
    int running_searches_ = 0;
    bool close_requested_ = false;
    // The last save to each file, whose number the results box takes "saved" back by when
    // another text goes over that file.
    std::vector<std::pair<bukvotok::FileIdentity, std::uint64_t>> saves_;
    // The results' changes when the user last agreed to close, at a logout: the close that
    // follows asks again only if they changed since.
    std::optional<std::uint64_t> close_agreed_at_;
};
