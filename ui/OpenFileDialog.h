// The one file dialog of the window, shared by loading and saving.  Qt's own dialog, so that it
// looks and behaves the same on every desktop: any file name is accepted, existing or not, with
// no filter and no default extension, and it offers the full path last confirmed.  It opens
// centred across the active window's monitor and a third of the way down, large enough for its
// Russian texts.
#pragma once

#include <QFileDialog>
#include <QString>
#include <optional>

namespace bukvotok {

class OpenFileDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit OpenFileDialog(QWidget* parent);

    // The confirmed path, made absolute, or nothing when the user cancelled.
    std::optional<QString> AskForPath();

    QString LastPath() const { return last_path_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HideCompletions();
    void FitColumns();

    QString last_path_;
};

}  // namespace bukvotok
