// bukvotok: the window program.  It takes no command line of its own.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "Unit1.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Qt's own dialogs and menus speak Russian like the rest of the window.
    QTranslator qt_russian;
    if (qt_russian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qt_russian);
    }
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/MAINICON")));

    TForm1 form;
    form.show();
    return QApplication::exec();
}
