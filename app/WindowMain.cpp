// bukvotok: the window program.  It takes no command line of its own.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "MainIcon.h"
#include "Unit1.h"

namespace {

// The window and its file dialog stand where the program puts them, which only X11 allows: a
// Wayland compositor places windows itself.  So on a Wayland desktop that offers X11 as well
// (Xwayland sets DISPLAY) the window goes there, without Qt trying Wayland first, which warns
// when qt6-wayland is missing.  A platform the user chose, by QT_QPA_PLATFORM or -platform, wins.
bool ChooseX11() {
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           !qEnvironmentVariableIsEmpty("DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    const bool choose_x11 = ChooseX11();
    if (choose_x11) qputenv("QT_QPA_PLATFORM", "xcb");
    // Qt's default event dispatcher (GLib's), as desktop integration expects: the search runs
    // the event loop about a thousand times a second, where Qt's own dispatcher would save
    // well under a thousandth of the time.
    QApplication application(argc, argv);
    // The choice was this process's own: programs started from it, such as the browser a link
    // opens, choose for themselves.
    if (choose_x11) qunsetenv("QT_QPA_PLATFORM");
    // Qt's own dialogs and menus speak Russian like the rest of the window.
    QTranslator qt_russian;
    if (qt_russian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qt_russian);
    }
    QApplication::setWindowIcon(bukvotok::MainIcon());

    TForm1 form;
    form.show();
    return QApplication::exec();
}
