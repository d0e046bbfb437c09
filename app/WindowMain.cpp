// bukvotok: the window program.  It takes no command line of its own.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "MainIcon.h"
#include "Unit1.h"

int main(int argc, char** argv) {
    // Qt's default event dispatcher (GLib's), as desktop integration expects: the search runs
    // the event loop about a thousand times a second, where Qt's own dispatcher would save
    // well under a thousandth of the time.
    QApplication application(argc, argv);
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
