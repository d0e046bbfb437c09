// bukvotok: the window program.  It takes no command line of its own.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "MainIcon.h"
#include "Unit1.h"

int main(int argc, char** argv) {
    // The search lets the user act at every step of its walks, so one pass through the event
    // loop bounds its speed.  Qt's own event dispatcher takes 0.25 µs for that here, the GLib
    // one 0.6 µs; nothing in this program needs GLib's loop.
    const bool glib_choice_given = qEnvironmentVariableIsSet("QT_NO_GLIB");
    if (!glib_choice_given) qputenv("QT_NO_GLIB", "1");
    QApplication application(argc, argv);
    // The dispatcher is chosen; the browser that a link starts should not inherit the choice.
    if (!glib_choice_given) qunsetenv("QT_NO_GLIB");
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
