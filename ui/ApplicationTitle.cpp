#include "ApplicationTitle.h"

#include <QCoreApplication>

namespace bukvotok {

namespace {
// The path is read into a buffer of this many bytes, terminator included.
constexpr qsizetype kPathBufferSize = 256;
}  // namespace

QString ApplicationTitleFromPath(const QString& executable_path) {
    QByteArray bytes = executable_path.toUtf8();
    if (bytes.size() >= kPathBufferSize) bytes.truncate(kPathBufferSize - 1);
    QString name = QString::fromUtf8(bytes);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    name = name.left(name.indexOf(QLatin1Char('.')));  // -1 keeps it whole
    if (name.isEmpty()) return name;
    return name.left(1) + name.mid(1).toLower();
}

QString ApplicationTitle() {
    return ApplicationTitleFromPath(QCoreApplication::applicationFilePath());
}

}  // namespace bukvotok
