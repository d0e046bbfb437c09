// The one file dialog of the window, shared by loading and saving.  Qt's own dialog, so that it
// looks and behaves the same on every desktop: any file name is accepted, existing or not, with
// no filter and no default extension, and it offers the path it is given (the window's last
// confirmed one).  It opens
// centred across the active window's monitor and a third of the way down, large enough for its
// Russian texts.
#pragma once

#include <QFileDialog>
#include <QMargins>
#include <QString>
#include <optional>

class QScreen;

namespace bukvotok {

class OpenFileDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit OpenFileDialog(QWidget* parent);

    // Offers `offered`: the confirmed path, made absolute, or nothing when the user cancelled.
    std::optional<QString> AskForPath(const QString& offered);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConfirmTypedName();
    void HideCompletions();
    // Whether a Return or Enter in `watched` confirms what the name field holds: in the field,
    // or in its completion list with nothing picked there.
    bool ConfirmsTypedName(const QObject* watched) const;
    // Whether `watched` is the folder's listing, in either view, or its viewport.
    bool IsListing(const QObject* watched) const;
    void FitColumns();
    // The monitor of the active window, else of the main window, else the first one.
    QScreen* Monitor() const;
    // Moves the dialog so that its outer frame, the client area grown by `frame`, lies centred
    // across the monitor and a third of the way down.
    void Place(const QMargins& frame);
    QMargins GuessedFrame() const;
    // Called when the window manager may have framed the dialog since it was placed.
    void PlaceAgainIfFramedOtherwise();

    QString typed_;  // what the user last put in the name field, this opening
    // What the window manager's frame added around the client area when last seen, and what the
    // current placement assumed it adds.
    std::optional<QMargins> seen_frame_;
    QMargins placed_with_;
};

}  // namespace bukvotok
